#include "render/page_writer.h"

#include <string>

#include "render/csv_writer.h"
#include "render/html_renderer.h"
#include "render/pdf_renderer.h"
#include "render/text_renderer.h"
#include "render/writer_resources.h"
#include "render/xlsx_writer.h"

namespace nrw {
PageWriter::~PageWriter() = default;

WriterResources::WriterResources() : parts_(std::make_unique<Parts>()) {}

WriterResources::~WriterResources() = default;

std::unique_ptr<PageWriter> MakePageWriter(OutputFormat format, const Layout& layout,
                                           std::ostream& out, WriterResources* resources) {
  switch (format) {
    case OutputFormat::Pdf:
      return std::make_unique<PdfPageWriter>(
          layout, out, resources != nullptr ? &resources->Get().faces : nullptr);
    case OutputFormat::Html:
      return std::make_unique<HtmlPageWriter>(
          layout, out, resources != nullptr ? &resources->Get().faces : nullptr);
    case OutputFormat::Xlsx:
      return std::make_unique<XlsxPageWriter>(layout, out);
    case OutputFormat::Csv:
      return std::make_unique<CsvPageWriter>(layout, out);
    case OutputFormat::Text:
      break;
  }
  return std::make_unique<TextPageWriter>(layout, out);
}

void WritePages(OutputFormat format, const Layout& layout, const std::vector<Page>& pages,
                std::ostream& out, WriterResources* resources, const std::vector<Page>& after) {
  const std::unique_ptr<PageWriter> writer = MakePageWriter(format, layout, out, resources);
  const std::vector<PageCounts> counts = CountsOf(pages);
  for (size_t i = 0; i < pages.size(); ++i) {
    if (HoldsMarker(pages[i])) {
      writer->Draw(WithPageCount(layout, pages[i], counts[i]));
    } else {
      writer->Draw(pages[i]);
    }
  }
  for (const Page& page : after) writer->Draw(page);
  writer->Finish();
}

}  // namespace nrw
