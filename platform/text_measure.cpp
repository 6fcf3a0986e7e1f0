#include "platform/text_measure.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <cmath>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace yx {

namespace {

// One face (regular or bold) with its advances cached in font units.
struct Face {
  FT_Face face = nullptr;
  double unitsPerEm = 1000;
  double lineUnits = 1450;  // ascender - descender + gap, in font units
  std::unordered_map<char32_t, int> advances;
};

struct Faces {
  std::mutex mu;
  FT_Library library = nullptr;
  FcConfig* config = nullptr;  // our own, so nothing of fontconfig outlives us
  Face regular, bold;
  bool regularTried = false, boldTried = false;

  ~Faces() {
    for (Face* f : {&regular, &bold})
      if (f->face) FT_Done_Face(f->face);
    if (library) FT_Done_FreeType(library);
    if (config) FcConfigDestroy(config);
  }

  // Finds the face through fontconfig; nothing when there is none.
  void open(Face& f, bool wantBold) {
    if (!library && FT_Init_FreeType(&library) != 0) {
      library = nullptr;
      return;
    }
    if (!config) config = FcInitLoadConfigAndFonts();
    if (!config) return;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("Noto Sans CJK TC"));
    FcPatternAddInteger(pat, FC_WEIGHT, wantBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SPACING, FC_PROPORTIONAL);
    FcConfigSubstitute(config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pat, &result);
    FcPatternDestroy(pat);
    if (!match) return;
    FcChar8* file = nullptr;
    int index = 0;
    FcChar8* family = nullptr;
    bool cjk = FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
               std::string(reinterpret_cast<char*>(family)).find("CJK") != std::string::npos;
    if (cjk && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &f.face) != 0) f.face = nullptr;
    }
    FcPatternDestroy(match);
    if (!f.face) return;
    f.unitsPerEm = f.face->units_per_EM > 0 ? f.face->units_per_EM : 1000;
    double line = f.face->height > 0 ? f.face->height : f.face->ascender - f.face->descender;
    if (line > 0) f.lineUnits = line;
  }

  Face& get(bool wantBold) {
    Face& f = wantBold ? bold : regular;
    bool& tried = wantBold ? boldTried : regularTried;
    if (!tried) {
      tried = true;
      open(f, wantBold);
    }
    return f;
  }
};

Faces& faces() {
  static Faces all;
  return all;
}

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Advance of one character in ems (caller holds the lock).
double advanceEm(Face& f, char32_t c) {
  if (c == '\n' || c == '\r') return 0;
  if (c == '\t') c = ' ';
  if (!f.face) return isWide(c) ? 1.0 : 0.55;
  auto it = f.advances.find(c);
  if (it == f.advances.end()) {
    int units = 0;
    FT_UInt glyph = FT_Get_Char_Index(f.face, c);
    FT_Fixed adv = 0;
    if (glyph && FT_Get_Advance(f.face, glyph, FT_LOAD_NO_SCALE, &adv) == 0) units = static_cast<int>(adv);
    else units = static_cast<int>(f.unitsPerEm * (isWide(c) ? 1.0 : 0.55));
    it = f.advances.emplace(c, units).first;
  }
  return it->second / f.unitsPerEm;
}

double lineEm(Face& f) { return f.face ? f.lineUnits / f.unitsPerEm : 1.45; }

// One reused line-break iterator per thread.
icu::BreakIterator* lineBreaker() {
  thread_local std::unique_ptr<icu::BreakIterator> it;
  if (!it) {
    UErrorCode status = U_ZERO_ERROR;
    it.reset(icu::BreakIterator::createLineInstance(icu::Locale("zh", "TW"), status));
    if (U_FAILURE(status)) it.reset();
  }
  return it.get();
}

}  // namespace

double lineHeight(double fontSize, bool bold) {
  auto& all = faces();
  std::lock_guard<std::mutex> lock(all.mu);
  return lineEm(all.get(bold)) * fontSize;
}

double textWidth(std::string_view utf8, double fontSize, bool bold) {
  auto& all = faces();
  std::lock_guard<std::mutex> lock(all.mu);
  Face& f = all.get(bold);
  double em = 0, widest = 0;
  int32_t i = 0, n = static_cast<int32_t>(utf8.size());
  while (i < n) {
    UChar32 c;
    U8_NEXT(utf8.data(), i, n, c);
    if (c < 0) c = 0xFFFD;
    if (c == '\n') {
      widest = std::max(widest, em);
      em = 0;
      continue;
    }
    em += advanceEm(f, static_cast<char32_t>(c));
  }
  return std::max(widest, em) * fontSize;
}

Size measureText(std::string_view utf8, double fontSize, bool bold, double width, double maxHeight) {
  if (utf8.empty() || fontSize <= 0) return {};
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  auto& all = faces();
  std::lock_guard<std::mutex> lock(all.mu);
  Face& f = all.get(bold);
  const double limit = width / fontSize;  // in ems
  const double lineH = lineEm(f) * fontSize;

  // Advance of each UTF-16 unit (the second unit of a pair is 0).
  std::vector<double> adv(static_cast<size_t>(text.length()), 0.0);
  for (int32_t i = 0; i < text.length();) {
    UChar32 c = text.char32At(i);
    adv[static_cast<size_t>(i)] = advanceEm(f, static_cast<char32_t>(c));
    i += U16_LENGTH(c);
  }
  auto isSpace = [&](int32_t i) {
    UChar c = text.charAt(i);
    return c == ' ' || c == '\t' || c == 0x3000;
  };

  int lines = 0;
  double widest = 0;
  double lineWidth = 0;       // width of the current line so far (trailing blanks excluded)
  double pendingBlanks = 0;   // blanks after the last text on the line
  bool lineHasText = false;
  auto endLine = [&] {
    ++lines;
    widest = std::max(widest, lineWidth);
    lineWidth = pendingBlanks = 0;
    lineHasText = false;
  };

  icu::BreakIterator* bi = lineBreaker();
  std::vector<std::pair<int32_t, bool>> segments;  // end of each segment, hard break after it
  if (bi) {
    bi->setText(text);
    for (int32_t end = bi->next(); end != icu::BreakIterator::DONE; end = bi->next())
      segments.emplace_back(end, bi->getRuleStatus() >= UBRK_LINE_HARD && bi->getRuleStatus() < UBRK_LINE_HARD_LIMIT);
  } else {
    for (int32_t i = 1; i <= text.length(); ++i) segments.emplace_back(i, text.charAt(i - 1) == '\n');
  }

  int32_t start = 0;
  for (auto [end, hard] : segments) {
    // The segment's text and its trailing blanks (which may hang past the edge).
    int32_t textEnd = end;
    while (textEnd > start && (isSpace(textEnd - 1) || text.charAt(textEnd - 1) == '\n' || text.charAt(textEnd - 1) == '\r'))
      --textEnd;
    double segText = 0, segBlank = 0;
    for (int32_t i = start; i < textEnd; ++i) segText += adv[static_cast<size_t>(i)];
    for (int32_t i = textEnd; i < end; ++i) segBlank += adv[static_cast<size_t>(i)];

    if (lineHasText && lineWidth + pendingBlanks + segText > limit + 1e-9) endLine();
    if (segText > limit + 1e-9) {
      // Wider than a whole line: break between characters.
      for (int32_t i = start; i < textEnd; ++i) {
        double a = adv[static_cast<size_t>(i)];
        if (a == 0) continue;
        if (lineHasText && lineWidth + a > limit + 1e-9) endLine();
        lineWidth += a;
        lineHasText = true;
      }
    } else if (textEnd > start) {
      lineWidth += pendingBlanks + segText;
      pendingBlanks = 0;
      lineHasText = true;
    }
    pendingBlanks += segBlank;
    if (hard) {
      endLine();
    }
    start = end;
  }
  if (lineHasText || pendingBlanks > 0) endLine();

  double height = lines * lineH;
  if (height > maxHeight) height = std::floor(maxHeight / lineH + 1e-9) * lineH;
  return Size{std::min(widest * fontSize, width), height};
}

}  // namespace yx
