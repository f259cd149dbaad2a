// Pages per second of a page writer (the PDF one unless --format says): a report is printed once
// and its pages kept, then drawn as one document after another. The same pages are written once as
// HTML, which reportlab_pages.py reads to draw them with ReportLab for the comparison
// (bench/README.md).
// Usage: render_bench --db DEMO.db [--module RptWithholdingReview] [-p NAME=VALUE]...
//                     [--html pages.html] [--seconds 5] [--format pdf|xlsx|csv|html|text]
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

#include "nrwhost/database.h"
#include "nrwhost/output_format.h"
#include "nrwhost/session.h"

namespace {

struct Options {
  std::string db;
  std::string module = "RptWithholdingReview";
  std::vector<nrw::ParamSetting> params;
  std::string html;
  double seconds = 5;
  nrw::OutputFormat format = nrw::OutputFormat::Pdf;
  std::string format_name = "pdf";
};

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    const std::string value = argv[i + 1];
    if (key == "--db") {
      options.db = value;
    } else if (key == "--module") {
      options.module = value;
    } else if (key == "-p") {
      const size_t equals = value.find('=');
      options.params.push_back({value.substr(0, equals), value.substr(equals + 1)});
    } else if (key == "--html") {
      options.html = value;
    } else if (key == "--seconds") {
      options.seconds = std::stod(value);
    } else if (key == "--format") {
      const std::optional<nrw::OutputFormat> format = nrw::FormatNamed(value);
      if (!format) throw std::runtime_error("formato desconhecido: " + value);
      options.format = *format;
      options.format_name = value;
    } else {
      throw std::runtime_error("opção desconhecida: " + key);
    }
  }
  if (options.db.empty()) throw std::runtime_error("uso: render_bench --db DEMO.db [...]");
  if (options.params.empty() && options.module == "RptWithholdingReview") {
    options.params.push_back({"pAnoBase", "01/01/2023"});
  }
  return options;
}

// Counts the bytes of a document and keeps none: the drawing is measured, not the growth of a
// buffer the size of the document (a run writes to its file as it goes).
class CountingBuffer final : public std::streambuf {
 public:
  size_t Count() const { return count_; }

 protected:
  std::streamsize xsputn(const char*, std::streamsize size) override {
    count_ += static_cast<size_t>(size);
    return size;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) ++count_;
    return traits_type::not_eof(c);
  }

 private:
  size_t count_ = 0;
};

}  // namespace

int main(int argc, char** argv) try {
  const Options options = Parse(argc, argv);
  const std::unique_ptr<nrw::TnConnection> connection = nrw::OpenConnection(options.db);
  const nrw::DefaultConnectionScope scope(*connection);
  nrw::SessionOptions session_options;
  session_options.module_path = std::string(NRW_MODULE_DIR) + "/" + options.module + ".so";
  session_options.layout_path = std::string(NRW_LAYOUT_DIR) + "/" + options.module + ".json";
  session_options.params = options.params;
  nrw::RunSession session(session_options);
  const int pages = session.Print();
  if (!options.html.empty()) {
    std::ofstream html(options.html, std::ios::binary);
    session.WritePages(html, nrw::OutputFormat::Html);
  }

  // CPU time of the process: the machine is shared, and wall time would measure the others too.
  const std::clock_t start = std::clock();
  int documents = 0;
  size_t bytes = 0;
  double elapsed = 0;
  do {
    CountingBuffer counted;
    std::ostream document(&counted);
    session.WritePages(document, options.format);
    bytes = counted.Count();
    ++documents;
    elapsed = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  } while (elapsed < options.seconds);
  std::printf(
      "%s (%s): %d páginas, %d documentos em %.2f s de CPU, %.0f páginas/s, %zu bytes por "
      "documento\n",
      options.module.c_str(), options.format_name.c_str(), pages, documents, elapsed,
      pages * documents / elapsed, bytes);
  return 0;
} catch (const std::exception& error) {
  std::cerr << "Erro: " << error.what() << '\n';
  return 1;
}
