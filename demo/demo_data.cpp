#include "demo/demo_data.h"

#include <fmt/format.h>

#include "demo/demo_data_internal.h"
#include "demo/demo_data_tomadores.h"
#include "nrw/core.h"
#include "schema/schema.h"

namespace nrw {
namespace demo {
namespace {

// Streams of the subjects that draw random values.
constexpr uint64_t kFluxoInscricoes = 10;
constexpr uint64_t kFluxoNomes = 11;

// Rolls back unless confirmed, so that a failure leaves the database as it was.
class Transacao {
 public:
  explicit Transacao(TnConnection& connection) : connection_(connection) {
    connection_.ExecuteScript("BEGIN");
  }
  Transacao(const Transacao&) = delete;
  Transacao& operator=(const Transacao&) = delete;
  ~Transacao() {
    if (confirmada_) return;
    try {
      connection_.ExecuteScript("ROLLBACK");
    } catch (const std::exception&) {
      // The error that brought us here is the one worth reporting.
    }
  }
  void Confirmar() {
    connection_.ExecuteScript("COMMIT");
    confirmada_ = true;
  }

 private:
  TnConnection& connection_;
  bool confirmada_ = false;
};

}  // namespace

Gerador::Gerador(TnConnection& connection, const OpcoesDemo& opcoes)
    : opcoes_(opcoes),
      ano_(opcoes.ano_base),
      gravador_(connection),
      inscricoes_(Misturar(opcoes.semente, kFluxoInscricoes)),
      nomes_(Misturar(opcoes.semente, kFluxoNomes)) {}

void Gerador::Gerar() {
  GravarLocalidades();
  MontarEmpresas();
  GravarEmpresas();
  GravarTabelasGerais();
  GravarProdutoresRurais();
  MontarFuncionarios();
  MontarTerceiros();
  // The complements draw registration numbers of their own: before the extra employees, so that
  // the fixed data stays the same whatever the number of extras.
  GerarComplementos();
  GerarEmpregadorCei();
  MontarExtras();
  MontarFilialTemporaria();
  GravarFuncionarios();
  GerarDeclaracao(ano_ - 1);
  GerarDeclaracao(ano_);
  GerarCalculoFolha();
  GerarGuiaInformativa();
  GravarUsuarios();
  // Last: what follows (the service takers) reads the tables written above.
  gravador_.Descarregar();
}

}  // namespace demo

void CriarBancoDemo(TnConnection& connection, const OpcoesDemo& opcoes) {
  if (opcoes.ano_base < kPrimeiroAnoDemo || opcoes.ano_base > kUltimoAnoDemo) {
    throw Exception(
        fmt::format("Ano-base inválido para os dados de demonstração: {} (use de {} a {}).",
                    opcoes.ano_base, kPrimeiroAnoDemo, kUltimoAnoDemo));
  }
  if (opcoes.beneficiarios_extras < 0 || opcoes.beneficiarios_extras > kMaximoExtrasDemo) {
    throw Exception(fmt::format("Quantidade de beneficiários extras inválida: {} (use de 0 a {}).",
                                opcoes.beneficiarios_extras, kMaximoExtrasDemo));
  }
  demo::Transacao transacao(connection);
  if (opcoes.substituir) RemoverEsquema(connection);
  CriarEsquema(connection);
  demo::Gerador(connection, opcoes).Gerar();
  demo::GerarTomadores(connection, opcoes.ano_base, opcoes.semente);
  AtualizarEstatisticas(connection);
  transacao.Confirmar();
}

}  // namespace nrw
