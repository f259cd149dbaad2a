#include "render/pdf_renderer.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "layout/page_walk.h"
#include "nrw/core.h"
#include "render/face_runs.h"
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

  struct FontSlot {
    std::unique_ptr<PdfFont> font;
    std::string resource;
  };

  FontSlot& SlotFor(const PdfFace& face) {
    if (current != nullptr && &current->font->Face() == &face) return *current;
    const auto [known, added] = slot_of.try_emplace(&face, slots.size());
    if (added) {
      slots.push_back(std::make_unique<FontSlot>());
      slots.back()->font = std::make_unique<PdfFont>(face);
      slots.back()->resource = "F" + std::to_string(slots.size());
    }
    FontSlot& slot = *slots[known->second];
    page_fonts.emplace(slot.resource, &slot);
    return slot;
  }

  // Sets the font and size of what follows, when they change.
  void Select(FontSlot& slot, double size) {
    if (&slot == current && size == current_size) return;
    text += '/';
    text += slot.resource;
    text += ' ';
    AppendPdfNumber(text, size);
    text += " Tf\n";
    current = &slot;
    current_size = size;
  }

  void DrawTextLine(const LayoutItem& item, const ResolvedFont& resolved,
                    const std::u32string& chars, double top_mm, double row_mm) {
    if (chars.empty()) return;
    const std::string family(resolved.family);
    FontSlot& primary = SlotFor(faces.Get(family, resolved.bold));
    const PdfGlyphRun& whole = primary.font->Run(EncodeUtf8(chars));
    // Runs of one face each: the layout's face alone, or with the faces of what it lacks.
    std::vector<std::pair<FontSlot*, PdfGlyphRun>> runs;
    if (whole.complete) {
      runs.emplace_back(&primary, whole);
    } else {
      for (const FaceRun& run : FaceRuns(faces, family, resolved.bold, chars)) {
        FontSlot& slot = SlotFor(*run.face);
        runs.emplace_back(&slot, slot.font->Run(EncodeUtf8(run.text)));
      }
    }
    double width_em = 0;
    for (const auto& [slot, run] : runs) width_em += run.width_em;
    const double box_w = item.w_mm * kPointsPerMm;
    double size = resolved.size_pt;
    double width = width_em * size;
    if (width > box_w && width > 0) {
      // Smaller, never cut: the whole value stays readable inside its item.
      size = std::max(kSmallestFontPt, size * box_w / width);
      width = width_em * size;
    }
    double x = left_pt + item.x_mm * kPointsPerMm;
    if (item.align == LayoutAlign::Right) x += box_w - width;
    if (item.align == LayoutAlign::Center) x += (box_w - width) / 2;
    const PdfFont& metrics = *primary.font;
    const double height = (metrics.AscentEm() + metrics.DescentEm()) * size;
    const double baseline =
        top_mm * kPointsPerMm + (row_mm * kPointsPerMm - height) / 2 + metrics.AscentEm() * size;
    bool placed = false;
    for (auto& [slot, run] : runs) {
      Select(*slot, size);
      if (!placed) {
        text += "1 0 0 1 ";
        AppendPdfNumber(text, x);
        text += ' ';
        AppendPdfNumber(text, height_pt - baseline);
        text += " Tm ";
        placed = true;
      }
      // Each run goes on where the one before it ended.
      text += '<';
      text += run.hex;
      text += "> Tj\n";
    }
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
    DrawTextLine(at.item, FontOf(layout, at.item), line.text,
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
    for (const std::unique_ptr<FontSlot>& slot : slots) slot->font->WriteObjects(objects);
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
  //! In the order first used, which numbers their objects: the same bytes every run.
  std::vector<std::unique_ptr<FontSlot>> slots;
  std::map<const PdfFace*, size_t> slot_of;
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
