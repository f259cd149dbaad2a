#include <fmt/format.h>

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

void Gravador::Inserir(const char* tabela, const Coluna* colunas, size_t quantas) {
  std::string chave = tabela;
  for (const Coluna& coluna : std::span(colunas, quantas)) {
    chave += ',';
    chave += coluna.nome;
  }
  auto& comando = comandos_[chave];
  if (!comando) {
    std::string nomes;
    std::string parametros;
    for (const Coluna& coluna : std::span(colunas, quantas)) {
      if (!nomes.empty()) {
        nomes += ", ";
        parametros += ", ";
      }
      nomes += coluna.nome;
      parametros += ':';
      parametros += coluna.nome;
    }
    comando = connection_.Prepare(
        fmt::format("INSERT INTO {} ({}) VALUES ({})", tabela, nomes, parametros));
  }
  valores_.clear();
  for (const Coluna& coluna : std::span(colunas, quantas)) valores_.push_back(coluna.valor);
  comando->Execute(valores_);
}

}  // namespace nrw::demo
