// Clean-up guards: a clean-up that raises never ends the process; the first error wins.
#include "nrw/guards.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nrw/core.h"

namespace {

std::string ErrorOf(void (*run)(std::vector<std::string>&), std::vector<std::string>& log) {
  try {
    run(log);
  } catch (const nrw::Exception& error) {
    return error.what();
  }
  return "";
}

TEST(ScopeExit, ARaisingCleanUpReachesTheCallerAndTheFirstErrorWins) {
  struct Case {
    const char* name;
    void (*run)(std::vector<std::string>&);
    const char* error;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"clean-up raises on a normal exit",
       [](std::vector<std::string>& log) {
         const nrw::ScopeExit limpeza([&log] {
           log.push_back("limpeza");
           throw nrw::Exception("falha na limpeza");
         });
         log.push_back("corpo");
       },
       "falha na limpeza",
       {"corpo", "limpeza"}},
      {"body and clean-up raise: the body's error wins",
       [](std::vector<std::string>& log) {
         const nrw::ScopeExit limpeza([&log] {
           log.push_back("limpeza");
           throw nrw::Exception("falha na limpeza");
         });
         throw nrw::Exception("falha no corpo");
       },
       "falha no corpo",
       {"limpeza"}},
      {"two clean-ups raise: the later-declared runs first and wins, the other still runs",
       [](std::vector<std::string>& log) {
         const nrw::ScopeExit primeira([&log] {
           log.push_back("primeira");
           throw nrw::Exception("primeira");
         });
         const nrw::ScopeExit segunda([&log] {
           log.push_back("segunda");
           throw nrw::Exception("segunda");
         });
       },
       "segunda",
       {"segunda", "primeira"}},
      {"Run lets the error out at once and the guard does not run again",
       [](std::vector<std::string>& log) {
         nrw::ScopeExit limpeza([&log] {
           log.push_back("limpeza");
           throw nrw::Exception("falha na limpeza");
         });
         limpeza.Run();
         log.push_back("depois");
       },
       "falha na limpeza",
       {"limpeza"}},
      {"a clean-up inside a clean-up that unwinds",
       [](std::vector<std::string>& log) {
         const nrw::ScopeExit externa([&log] {
           const nrw::ScopeExit interna([&log] {
             log.push_back("interna");
             throw nrw::Exception("interna");
           });
           log.push_back("externa");
           throw nrw::Exception("externa");
         });
         throw nrw::Exception("corpo");
       },
       "corpo",
       {"externa", "interna"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    EXPECT_EQ(ErrorOf(c.run, log), c.error) << c.name;
    EXPECT_EQ(log, c.log) << c.name;
  }
}

TEST(ScopeExit, RunsOnceOnEveryPath) {
  int runs = 0;
  {
    nrw::ScopeExit limpeza([&runs] { ++runs; });
    limpeza.Run();
    limpeza.Run();
  }
  EXPECT_EQ(runs, 1);
  {
    const nrw::ScopeExit limpeza([&runs] { ++runs; });
  }
  EXPECT_EQ(runs, 2);
}

}  // namespace
