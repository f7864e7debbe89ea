#include "InstallerAssets.h"

#include "engine/core/PictureVariants.h"

namespace setup {

void RegisterScaledPictures() {
  static const bool registered = [] {
    struct Drawings {
      ui::Bytes picture;
      const std::uint8_t* at150;
      const std::uint8_t* at200;
    };
    for (const Drawings& drawings : {Drawings{BackgroundImage1(), kBackground1At150Block, kBackground1At200Block},
                                     Drawings{BackgroundImage2(), kBackground2At150Block, kBackground2At200Block},
                                     Drawings{ButtonImage1(), kButtonImage1At150Block, kButtonImage1At200Block},
                                     Drawings{ButtonImage2(), kButtonImage2At150Block, kButtonImage2At200Block},
                                     Drawings{ButtonImage3(), kButtonImage3At150Block, kButtonImage3At200Block}}) {
      ui::AddPictureVariant(drawings.picture, 150, ui::EmbeddedBytes(drawings.at150));
      ui::AddPictureVariant(drawings.picture, 200, ui::EmbeddedBytes(drawings.at200));
    }
    return true;
  }();
  (void)registered;
}

}  // namespace setup
