#pragma once

#include <string>
#include <vector>

namespace ui {

// The family the engine's default font takes, decided once at start-up:
// the first of "宋体", "微软雅黑", "SimSun" and "Microsoft YaHei" that is
// installed and draws Chinese; else the first installed family of the
// Chinese character set that does; else GDI+'s generic sans-serif family;
// else the system's caption font. Empty when not even that exists.
std::string ChooseDefaultFontFamily();

// The part of that choice a test can steer: the first of the candidates
// that draws every needed character.
std::string FirstFamilyDrawing(const std::vector<std::string>& candidates, const std::wstring& needed);

// Whether the named family is installed (GDI+ knows it) and its font has
// a glyph of its own for each of the characters.
bool FamilyDraws(const std::string& family, const std::wstring& characters);

}  // namespace ui
