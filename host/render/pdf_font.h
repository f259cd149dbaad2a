// One face as one PDF document uses it: the glyphs its texts took (glyph ids of the face, so the
// content streams need no rewriting), embedded at the end as a subset with their widths and the map
// back to Unicode that makes the text extractable. Texts map to glyphs without shaping (the forms
// are Latin text; a character the face lacks is drawn by another face, render/face_runs.h) and each
// distinct text is mapped once.
#pragma once

#include <hb.h>

#include <map>
#include <string>
#include <unordered_map>

#include "render/pdf_faces.h"
#include "render/pdf_objects.h"

namespace nrw {

struct PdfGlyphRun {
  //! Four hex digits per glyph, ready for a content stream's <...> string.
  std::string hex;
  //! The advance of the whole text, in ems.
  double width_em = 0;
  //! Every character has a glyph of the face (otherwise the text takes other faces too).
  bool complete = true;
};

class PdfFont {
 public:
  //! The face is borrowed.
  explicit PdfFont(const PdfFace& face);

  //! The run of a UTF-8 text; valid until the next call.
  const PdfGlyphRun& Run(const std::string& utf8);
  double AscentEm() const { return face_.AscentEm(); }
  const PdfFace& Face() const { return face_; }
  double DescentEm() const { return face_.DescentEm(); }

  //! The object number the pages name; the objects are written by WriteObjects.
  int Reference(PdfObjects& objects);
  //! The font's objects, with the subset of every glyph used so far.
  void WriteObjects(PdfObjects& objects);

 private:
  struct Glyph {
    char32_t code = 0;
    int width = 0;  // thousandths of an em
  };

  std::string SubsetFile() const;
  std::string ToUnicode() const;
  std::string Widths() const;

  const PdfFace& face_;
  std::map<hb_codepoint_t, Glyph> used_;
  std::unordered_map<std::string, PdfGlyphRun> runs_;
  int reference_ = 0;
};

}  // namespace nrw
