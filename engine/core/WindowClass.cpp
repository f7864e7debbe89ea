#include "WindowClass.h"

#include "Engine.h"
#include "TextConversion.h"

namespace ui {

ATOM RegisterEngineClass(const EngineClassOptions& options) {
  EngineState& engine = Engine();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::wstring name = AnsiToWide(options.className.value_or(kEngineClassName));

  HICON icon;
  if (options.icon) {
    icon = *options.icon;
  } else {
    engine.engineIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconId));
    icon = engine.engineIcon;
  }

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = options.style.value_or(CS_DBLCLKS);
  windowClass.lpfnWndProc = options.windowProcedure ? options.windowProcedure : DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = options.cursor.value_or(engine.defaultCursor);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = name.c_str();
  return RegisterClassExW(&windowClass);
}

}  // namespace ui
