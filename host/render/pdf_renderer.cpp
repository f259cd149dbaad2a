#include "render/pdf_renderer.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "layout/page_walk.h"
#include "nrw/core.h"
#include "render/pdf_font.h"
#include "render/pdf_objects.h"
#include "util/utf8.h"

namespace nrw {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kStrokePt = 0.5;
constexpr double kSmallestFontPt = 4.0;

}  // namespace

// Objects 1 to 3 are the catalog, the page tree and the document information; each page adds its
// content and itself, each face its five objects when the document ends.
struct PdfPageWriter::Impl final : PageVisitor {
  Impl(const Layout& layout_in, std::ostream& out, PdfFaces* run_faces)
      : layout(layout_in),
        faces(run_faces != nullptr ? *run_faces : own_faces),
        objects(out),
        catalog(objects.Reserve()),
        tree(objects.Reserve()),
        info(objects.Reserve()),
        width_pt(layout.page.width_mm * kPointsPerMm),
        height_pt(layout.page.height_mm * kPointsPerMm),
        left_pt(layout.page.margins.left_mm * kPointsPerMm) {}

  PdfFont& FontFor(const ResolvedFont& font) {
    if (current != nullptr && current->bold == font.bold && current->family == font.family) {
      return *current->font;
    }
    auto& slot = fonts[{std::string(font.family), font.bold}];
    slot.family = font.family;
    slot.bold = font.bold;
    if (!slot.font) {
      slot.font = std::make_unique<PdfFont>(faces.Get(slot.family, font.bold));
      slot.resource = "F" + std::to_string(fonts.size());
    }
    page_fonts.emplace(slot.resource, &slot);
    if (current != &slot) {
      current = &slot;
      current_size = -1;
    }
    return *slot.font;
  }

  void DrawTextLine(const LayoutItem& item, const ResolvedFont& resolved, const std::string& line,
                    double top_mm, double row_mm) {
    if (line.empty()) return;
    PdfFont& font = FontFor(resolved);
    const PdfGlyphRun& run = font.Run(line);
    const double box_w = item.w_mm * kPointsPerMm;
    double size = resolved.size_pt;
    double width = run.width_em * size;
    if (width > box_w && width > 0) {
      // Smaller, never cut: the whole value stays readable inside its item.
      size = std::max(kSmallestFontPt, size * box_w / width);
      width = run.width_em * size;
    }
    double x = left_pt + item.x_mm * kPointsPerMm;
    if (item.align == LayoutAlign::Right) x += box_w - width;
    if (item.align == LayoutAlign::Center) x += (box_w - width) / 2;
    const double height = (font.AscentEm() + font.DescentEm()) * size;
    const double baseline =
        top_mm * kPointsPerMm + (row_mm * kPointsPerMm - height) / 2 + font.AscentEm() * size;
    if (size != current_size) {
      text += '/';
      text += current->resource;
      text += ' ';
      AppendPdfNumber(text, size);
      text += " Tf\n";
      current_size = size;
    }
    text += "1 0 0 1 ";
    AppendPdfNumber(text, x);
    text += ' ';
    AppendPdfNumber(text, height_pt - baseline);
    text += " Tm <";
    text += run.hex;
    text += "> Tj\n";
  }

  void Stroke(double x1, double y1, double x2, double y2) {
    AppendPdfNumber(strokes, x1);
    strokes += ' ';
    AppendPdfNumber(strokes, height_pt - y1);
    strokes += " m ";
    AppendPdfNumber(strokes, x2);
    strokes += ' ';
    AppendPdfNumber(strokes, height_pt - y2);
    strokes += " l\n";
  }

  void TextLine(const PlacedItem& at, const FlowLine& line) override {
    DrawTextLine(at.item, FontOf(layout, at.item), EncodeUtf8(line.text),
                 at.top_mm + line.row * layout.grid.row_mm, layout.grid.row_mm);
  }

  void Line(const PlacedItem& at) override {
    const ItemBox& box = at.box;
    if (box.horizontal) {
      Stroke(left_pt + box.x_mm * kPointsPerMm, box.mid_y_mm * kPointsPerMm,
             left_pt + (box.x_mm + box.w_mm) * kPointsPerMm, box.mid_y_mm * kPointsPerMm);
    } else {
      Stroke(left_pt + box.mid_x_mm * kPointsPerMm, box.y_mm * kPointsPerMm,
             left_pt + box.mid_x_mm * kPointsPerMm, (box.y_mm + box.h_mm) * kPointsPerMm);
    }
  }

  void Box(const PlacedItem& at) override {
    const ItemBox& box = at.box;
    AppendPdfNumber(strokes, left_pt + box.x_mm * kPointsPerMm);
    strokes += ' ';
    AppendPdfNumber(strokes, height_pt - (box.y_mm + box.h_mm) * kPointsPerMm);
    strokes += ' ';
    AppendPdfNumber(strokes, box.w_mm * kPointsPerMm);
    strokes += ' ';
    AppendPdfNumber(strokes, box.h_mm * kPointsPerMm);
    strokes += " re\n";
  }

  // The page's strokes as one path, then its texts in one text object.
  void FinishPage() {
    std::string content;
    if (!strokes.empty()) {
      content += "0 G ";
      AppendPdfNumber(content, kStrokePt);
      content += " w\n" + strokes + "S\n";
    }
    if (!text.empty()) content += "0 g\nBT\n" + text + "ET\n";
    std::string resources;
    for (const auto& [resource, slot] : page_fonts) {
      resources += "/" + resource + " " + std::to_string(slot->font->Reference(objects)) + " 0 R ";
    }
    const int contents = objects.Reserve();
    const int page = objects.Reserve();
    objects.WriteStream(contents, "", content);
    std::string body = "<< /Type /Page /Parent " + std::to_string(tree) + " 0 R /MediaBox [0 0 ";
    AppendPdfNumber(body, width_pt);
    body += ' ';
    AppendPdfNumber(body, height_pt);
    body += "] /Resources << /Font << " + resources + ">> >> /Contents " +
            std::to_string(contents) + " 0 R >>";
    objects.Write(page, body);
    pages.push_back(page);
    strokes.clear();
    text.clear();
    page_fonts.clear();
    current = nullptr;
  }

  void FinishDocument() {
    for (auto& [key, slot] : fonts) slot.font->WriteObjects(objects);
    std::string kids;
    for (const int page : pages) kids += std::to_string(page) + " 0 R ";
    objects.Write(tree, "<< /Type /Pages /Kids [ " + kids + "] /Count " +
                            std::to_string(pages.size()) + " >>");
    objects.Write(catalog, "<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
    std::string information = "<< /Creator (nrw) /Producer (nrw)";
    if (!layout.title.empty()) information += " /Title " + PdfTextString(layout.title);
    objects.Write(info, information + " >>");
    objects.Finish(catalog, info);
  }

  struct FontSlot {
    std::unique_ptr<PdfFont> font;
    std::string resource;
    std::string family;
    bool bold = false;
  };

  const Layout& layout;
  PdfFaces own_faces;
  PdfFaces& faces;
  PdfObjects objects;
  int catalog;
  int tree;
  int info;
  double width_pt;
  double height_pt;
  double left_pt;
  std::map<std::pair<std::string, bool>, FontSlot> fonts;
  std::map<std::string, FontSlot*> page_fonts;  // by resource name: the same bytes every run
  FontSlot* current = nullptr;
  double current_size = -1;
  std::string text;
  std::string strokes;
  std::vector<int> pages;
  bool finished = false;
};

PdfPageWriter::PdfPageWriter(const Layout& layout, std::ostream& out, PdfFaces* faces)
    : impl_(std::make_unique<Impl>(layout, out, faces)) {}

PdfPageWriter::~PdfPageWriter() = default;

void PdfPageWriter::Draw(const Page& page) {
  WalkPage(impl_->layout, page, *impl_);
  impl_->FinishPage();
}

void PdfPageWriter::Finish() {
  if (impl_->finished) return;
  impl_->finished = true;
  // A document without pages is still a document: one blank page of the layout's sheet.
  if (impl_->pages.empty()) impl_->FinishPage();
  impl_->FinishDocument();
}

}  // namespace nrw
