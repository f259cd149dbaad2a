#include "render/pdf_faces.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>

#include <cmath>

#include "nrw/core.h"

namespace nrw {
namespace {

struct FcDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcDeleter>;
struct FcSetDeleter {
  void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};

// The file and face index fontconfig chooses for the family and weight.
std::pair<std::string, int> FindFace(const std::string& family, bool bold) {
  FcPatternPtr pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  FcPatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
  FcChar8* file = nullptr;
  int index = 0;
  if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
    throw Exception("Nenhuma fonte instalada para o PDF (família " + family + ").");
  }
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
  return {reinterpret_cast<const char*>(file), index};
}

int16_t ReadInt16(const char* data) {
  return static_cast<int16_t>((static_cast<unsigned char>(data[0]) << 8) |
                              static_cast<unsigned char>(data[1]));
}

}  // namespace

PdfFace::PdfFace(const std::string& family, bool bold) {
  const auto [file, index] = FindFace(family, bold);
  file_ = file;
  Load(index, bold);
}

PdfFace::PdfFace(const std::string& file, int index, bool bold) : file_(file) { Load(index, bold); }

bool PdfFace::Has(char32_t code) const {
  hb_codepoint_t glyph = 0;
  return hb_font_get_nominal_glyph(font_.get(), code, &glyph) && glyph != 0;
}

void PdfFace::Load(int index, bool bold) {
  blob_.reset(hb_blob_create_from_file_or_fail(file_.c_str()));
  if (!blob_) throw Exception("Não foi possível ler a fonte " + file_ + ".");
  face_.reset(hb_face_create(blob_.get(), static_cast<unsigned>(index)));
  font_.reset(hb_font_create(face_.get()));
  upem_ = hb_face_get_upem(face_.get());
  hb_font_set_scale(font_.get(), static_cast<int>(upem_), static_cast<int>(upem_));
  hb_font_extents_t extents{};
  if (hb_font_get_h_extents(font_.get(), &extents)) {
    ascent_em_ = static_cast<double>(extents.ascender) / upem_;
    descent_em_ = -static_cast<double>(extents.descender) / upem_;
  }
  char name[128] = {};
  unsigned size = sizeof name;
  hb_ot_name_get_utf8(face_.get(), HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &size, name);
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c > ' ' && *c < 0x7F && *c != '/' && *c != '(' && *c != ')') postscript_name_ += *c;
  }
  if (postscript_name_.empty()) postscript_name_ = bold ? "Font-Bold" : "Font";

  const std::unique_ptr<hb_blob_t, HbDeleter> head(
      hb_face_reference_table(face_.get(), HB_TAG('h', 'e', 'a', 'd')));
  unsigned length = 0;
  const char* data = hb_blob_get_data(head.get(), &length);
  if (length >= 44) {
    for (int i = 0; i < 4; ++i) {
      bbox_[i] = static_cast<int>(std::lround(ReadInt16(data + 36 + 2 * i) * 1000.0 / upem_));
    }
  }
  hb_position_t cap_height = 0;
  if (!hb_ot_metrics_get_position(font_.get(), HB_OT_METRICS_TAG_CAP_HEIGHT, &cap_height)) {
    cap_height = static_cast<hb_position_t>(ascent_em_ * upem_);
  }
  cap_height_ = static_cast<int>(std::lround(cap_height * 1000.0 / upem_));
}

PdfFace::~PdfFace() = default;

const PdfFace& PdfFaces::Get(const std::string& family, bool bold) {
  auto& face = faces_[{family, bold}];
  if (!face) face = std::make_unique<const PdfFace>(family, bold);
  return *face;
}

const PdfFace& PdfFaces::FromFile(const std::string& file, int index, bool bold) {
  auto& face = files_[{file, index, bold}];
  if (!face) face = std::make_unique<const PdfFace>(file, index, bold);
  return *face;
}

const PdfFace* PdfFaces::Fallback(const std::string& family, bool bold, char32_t code) {
  const auto known = fallbacks_.find({family, bold, code});
  if (known != fallbacks_.end()) return known->second;
  const PdfFace* found = nullptr;
  FcPatternPtr pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  FcCharSet* wanted = FcCharSetCreate();
  FcCharSetAddChar(wanted, static_cast<FcChar32>(code));
  FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted);
  FcCharSetDestroy(wanted);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  const std::unique_ptr<FcFontSet, FcSetDeleter> sorted(
      FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
  for (int i = 0; sorted && i < sorted->nfont && found == nullptr; ++i) {
    FcPattern* candidate = sorted->fonts[i];
    FcCharSet* charset = nullptr;
    FcBool outline = FcFalse;
    FcChar8* file = nullptr;
    int index = 0;
    // Bitmap faces (colour emoji among them) draw nothing in a PDF: only outlines will do.
    if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &charset) != FcResultMatch ||
        !FcCharSetHasChar(charset, static_cast<FcChar32>(code)) ||
        FcPatternGetBool(candidate, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline ||
        FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch) {
      continue;
    }
    FcPatternGetInteger(candidate, FC_INDEX, 0, &index);
    const PdfFace& face = FromFile(reinterpret_cast<const char*>(file), index, bold);
    if (face.Has(code)) found = &face;
  }
  fallbacks_.emplace(std::make_tuple(family, bold, code), found);
  return found;
}

}  // namespace nrw
