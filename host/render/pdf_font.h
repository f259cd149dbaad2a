// One face of a PDF document: found through fontconfig, read with HarfBuzz, embedded as a subset of
// the glyphs the document used (glyph ids kept, so the content streams need no rewriting), with the
// widths of those glyphs and the map back to Unicode that makes the text extractable. Texts map to
// glyphs without shaping (the forms are Latin text) and each distinct text is mapped once.
#pragma once

#include <hb.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/pdf_objects.h"

namespace nrw {

struct PdfGlyphRun {
  //! Four hex digits per glyph, ready for a content stream's <...> string.
  std::string hex;
  //! The advance of the whole text, in ems.
  double width_em = 0;
};

class PdfFont {
 public:
  //! Raises Exception when no face of the family (or none at all) is installed.
  PdfFont(const std::string& family, bool bold);
  ~PdfFont();
  PdfFont(const PdfFont&) = delete;
  PdfFont& operator=(const PdfFont&) = delete;

  //! The run of a UTF-8 text; valid until the next call.
  const PdfGlyphRun& Run(const std::string& utf8);
  double AscentEm() const { return ascent_em_; }
  double DescentEm() const { return descent_em_; }

  //! The object number the pages name; the objects are written by WriteObjects.
  int Reference(PdfObjects& objects);
  //! The font's objects, with the subset of every glyph used so far.
  void WriteObjects(PdfObjects& objects);

 private:
  struct HbDeleter {
    void operator()(hb_blob_t* blob) const { hb_blob_destroy(blob); }
    void operator()(hb_face_t* face) const { hb_face_destroy(face); }
    void operator()(hb_font_t* font) const { hb_font_destroy(font); }
  };
  struct Glyph {
    char32_t code = 0;
    int width = 0;  // thousandths of an em
  };

  std::string SubsetFile() const;
  std::string ToUnicode() const;
  std::string Widths() const;

  std::string file_;
  std::unique_ptr<hb_blob_t, HbDeleter> blob_;
  std::unique_ptr<hb_face_t, HbDeleter> face_;
  std::unique_ptr<hb_font_t, HbDeleter> font_;
  unsigned upem_ = 1000;
  double ascent_em_ = 0.9;
  double descent_em_ = 0.2;
  std::string postscript_name_;
  std::map<hb_codepoint_t, Glyph> used_;
  std::unordered_map<std::string, PdfGlyphRun> runs_;
  int reference_ = 0;
};

}  // namespace nrw
