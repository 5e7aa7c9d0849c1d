// The session's prefix has the fonts Windows draws its own parts with. Without Marlett, title-bar
// buttons, scroll arrows and check marks come out as the letters that stand for them ("0 1 r").
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "Handles.h"

namespace {

struct SystemFont {
  const char* name;        // for the test name
  const wchar_t* face;
  BYTE charset;
  const wchar_t* glyphs;   // characters the system draws with it
};

// Marlett: minimize, maximize, restore, the four scroll arrows, the check mark and close.
const SystemFont kSystemFonts[] = {
    {"Marlett", L"Marlett", SYMBOL_CHARSET, L"0123456ar"},
};

int CALLBACK CountFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return 1;
}

std::string Narrow(const wchar_t* text) { return std::string(text, text + std::wcslen(text)); }

class SessionFonts : public ::testing::TestWithParam<SystemFont> {};

}  // namespace

TEST_P(SessionFonts, FamilyIsListed) {
  const SystemFont& font = GetParam();
  WindowDC screen(nullptr);
  ASSERT_TRUE(screen);
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(query.lfFaceName, font.face, LF_FACESIZE - 1);
  int found = 0;
  ::EnumFontFamiliesExW(screen.get(), &query, CountFamily, reinterpret_cast<LPARAM>(&found), 0);
  EXPECT_GT(found, 0) << Narrow(font.face) << " is not installed in this Wine prefix";
}

TEST_P(SessionFonts, FontOfThatFaceHasTheSystemGlyphs) {
  const SystemFont& font = GetParam();
  WindowDC screen(nullptr);
  UniqueDC dc(::CreateCompatibleDC(screen.get()));
  ASSERT_TRUE(dc);
  UniqueFont hfont(::CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, font.charset, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, font.face));
  ASSERT_TRUE(hfont);
  SelectObjectGuard select(dc.get(), hfont.get());

  // A missing face is quietly replaced by another one: the realised face tells.
  wchar_t realised[LF_FACESIZE] = {};
  ASSERT_GT(::GetTextFaceW(dc.get(), LF_FACESIZE, realised), 0);
  EXPECT_EQ(Narrow(realised), Narrow(font.face));

  const std::wstring glyphs = font.glyphs;
  std::vector<WORD> indices(glyphs.size());
  ASSERT_EQ(::GetGlyphIndicesW(dc.get(), glyphs.c_str(), static_cast<int>(glyphs.size()), indices.data(),
                               GGI_MARK_NONEXISTING_GLYPHS),
            glyphs.size());
  for (size_t i = 0; i < glyphs.size(); ++i) {
    EXPECT_NE(indices[i], 0xFFFF) << "no glyph for '" << static_cast<char>(glyphs[i]) << "'";
  }
}

INSTANTIATE_TEST_SUITE_P(Wine, SessionFonts, ::testing::ValuesIn(kSystemFonts),
                         [](const ::testing::TestParamInfo<SystemFont>& info) { return std::string(info.param.name); });
