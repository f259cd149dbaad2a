#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "commands.h"
#include "nrwhost/files.h"
#include "nrwhost/manifest.h"
#include "run_progress.h"

namespace nrw::cli {
namespace {

int VerifyCommand(const CommonOptions& common, const std::vector<std::string>& manifests) {
  ManifestCheck check;
  try {
    check = VerifyManifests(manifests);
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const Exception& error) {
    return Failed(common, error.what(), "", kFailed);
  }
  for (const std::string& finding : check.findings) std::cout << finding << '\n';
  std::cerr << (check.findings.empty() ? "Conferido: " : "Problemas: ") << Count(check.parts)
            << " partes, " << Count(check.files) << " arquivos"
            << (check.findings.empty() ? ", nada a apontar."
                                       : ", " + Count(check.findings.size()) + " apontamentos.")
            << '\n';
  if (!FlushStdout()) return kFailed;
  return check.findings.empty() ? kOk : kFailed;
}

}  // namespace

Subcommand AddVerifyCommand(CLI::App& app, const CommonOptions& common) {
  auto manifests = std::make_shared<std::vector<std::string>>();
  CLI::App* verify =
      app.add_subcommand("verify", "Confere os arquivos de uma execução pelo seu manifesto");
  verify->add_option("MANIFEST", *manifests, "Manifesto(s) de nrw run --manifest")->required();
  return {verify, [&common, manifests] { return VerifyCommand(common, *manifests); }};
}

}  // namespace nrw::cli
