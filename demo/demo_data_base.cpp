#include <fmt/format.h>

#include <algorithm>
#include <span>

#include "demo/demo_data_internal.h"
#include "nrw/core.h"

namespace nrw::demo {

uint64_t Aleatorio::Proximo() {
  estado_ += 0x9E3779B97F4A7C15ULL;
  uint64_t z = estado_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

int64_t Aleatorio::Entre(int64_t minimo, int64_t maximo) {
  if (maximo <= minimo) return minimo;
  const uint64_t faixa = static_cast<uint64_t>(maximo - minimo) + 1;
  return minimo + static_cast<int64_t>(Proximo() % faixa);
}

uint64_t Misturar(uint64_t semente, uint64_t a, uint64_t b, uint64_t c) {
  Aleatorio mistura(semente);
  uint64_t valor = mistura.Proximo();
  for (const uint64_t parte : {a, b, c}) {
    Aleatorio passo(valor ^ parte);
    valor = passo.Proximo();
  }
  return valor;
}

Centavos Proporcao(Centavos valor, int64_t numerador, int64_t denominador) {
  return (valor * numerador * 2 + denominador) / (denominador * 2);
}

Variant Valor(Centavos valor) { return Variant(static_cast<double>(valor) / 100.0); }

std::string Dia::Texto() const { return fmt::format("{:04}-{:02}-{:02}", ano, mes, dia); }

int DiasNoMes(int ano, int mes) {
  static constexpr int kDias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool bissexto = (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
  return mes == 2 && bissexto ? 29 : kDias[mes - 1];
}

Dia UltimoDiaDoMes(int ano, int mes) { return {ano, mes, DiasNoMes(ano, mes)}; }

std::string AnoBase(int ano) { return Dia{ano, 1, 1}.Texto(); }

namespace {

// Bound values per statement: well within what both databases accept, large enough that a batch
// costs a server one round trip for a few hundred rows.
constexpr size_t kValoresPorComando = 4000;
constexpr size_t kLinhasPorComando = 250;

}  // namespace

struct Gravador::Lote {
  std::string tabela;
  //! "A, B, C": the column list the held rows were given with.
  std::string colunas;
  size_t quantas = 0;
  size_t linhas_por_comando = 1;
  size_t linhas = 0;
  std::vector<Variant> valores;
  //! The statement of a whole batch, prepared once.
  std::unique_ptr<TnPreparedStatement> cheio;
};

Gravador::Gravador(TnConnection& connection) : connection_(connection) {}
Gravador::~Gravador() = default;

void Gravador::Inserir(const char* tabela, const Coluna* colunas, size_t quantas) {
  std::string nomes;
  for (const Coluna& coluna : std::span(colunas, quantas)) {
    if (!nomes.empty()) nomes += ", ";
    nomes += coluna.nome;
  }
  Lote*& lote = por_tabela_[tabela];
  if (lote == nullptr) {
    lotes_.push_back(std::make_unique<Lote>());
    lote = lotes_.back().get();
    lote->tabela = tabela;
  }
  if (lote->colunas != nomes) {
    // Rows keep their order within the table whatever columns each one gives.
    Gravar(*lote);
    lote->colunas = nomes;
    lote->quantas = quantas;
    lote->linhas_por_comando =
        std::clamp<size_t>(kValoresPorComando / std::max<size_t>(quantas, 1), 1, kLinhasPorComando);
    lote->cheio.reset();
  }
  for (const Coluna& coluna : std::span(colunas, quantas)) lote->valores.push_back(coluna.valor);
  if (++lote->linhas == lote->linhas_por_comando) Gravar(*lote);
}

void Gravador::Gravar(Lote& lote) {
  if (lote.linhas == 0) return;
  const bool cheio = lote.linhas == lote.linhas_por_comando;
  std::unique_ptr<TnPreparedStatement> avulso;
  if (!cheio || !lote.cheio) {
    std::string linhas;
    size_t parametro = 0;
    for (size_t linha = 0; linha < lote.linhas; ++linha) {
      linhas += linha == 0 ? "(" : ", (";
      for (size_t coluna = 0; coluna < lote.quantas; ++coluna) {
        linhas += coluna == 0 ? ":v" : ", :v";
        linhas += std::to_string(parametro++);
      }
      linhas += ')';
    }
    avulso = connection_.Prepare(
        fmt::format("INSERT INTO {} ({}) VALUES {}", lote.tabela, lote.colunas, linhas));
    if (cheio) lote.cheio = std::move(avulso);
  }
  (cheio ? *lote.cheio : *avulso).Execute(lote.valores);
  lote.valores.clear();
  lote.linhas = 0;
}

void Gravador::Descarregar() {
  for (const std::unique_ptr<Lote>& lote : lotes_) Gravar(*lote);
}

}  // namespace nrw::demo
