// An employer registered by CEI (a rural producer whose statements show the number of the partner
// who answers for it) and what it declares in the main year: companies paid with income tax
// (1708) and contributions (5952) withheld, some with a month-13 row, one record without monthly
// values, and two self-employed people at the edge of the third-party threshold (6.000,00 and
// 6.000,01 a year, nothing withheld).
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

constexpr int kEmpresaCei = 5;
constexpr int kTipoInscrCei = 3;
constexpr int kCpf = 1;
constexpr int kCnpj = 2;
constexpr int kInformeTerceiro = 2;
constexpr int kInformeOutraEmpresa = 3;
constexpr int kEstrada = 6;
constexpr int kVenancioAires = 4322608;

struct Mes {
  Centavos rendimento = 0;
  Centavos retido = 0;
  Centavos prev_oficial = 0;
  Centavos pis = 0;
  Centavos cofins = 0;
  Centavos csll = 0;
};

// Income tax 1.5% (1708), not withheld below R$ 10,00; PIS 0.65%, COFINS 3% and CSLL 1%
// together (5952).
Mes PagamentoEmpresa(int codigo, Centavos valor) {
  Mes mes;
  mes.rendimento = valor;
  if (codigo == 5952) {
    mes.pis = Percentual(valor, 65);
    mes.cofins = Percentual(valor, 300);
    mes.csll = Percentual(valor, 100);
    mes.retido = mes.pis + mes.cofins + mes.csll;
  } else {
    const Centavos imposto = Percentual(valor, 150);
    mes.retido = imposto < Reais(10) ? 0 : imposto;
  }
  return mes;
}

struct Registro {
  Registro(int tipo_inscr_, std::string inscr_, int codigo_, int tipo_informe_)
      : tipo_inscr(tipo_inscr_),
        inscr(std::move(inscr_)),
        codigo(codigo_),
        tipo_informe(tipo_informe_) {}
  int tipo_inscr;
  std::string inscr;
  int codigo;
  int tipo_informe;
  std::map<int, Mes> meses;
  std::string outras_informacoes;
};

}  // namespace

void Gerador::GerarEmpregadorCei() {
  const std::string ano_base = AnoBase(ano_);
  const std::string nome = "Egon Becker - Produtor Rural";
  const std::string cei = inscricoes_.NovoCEI();
  const std::string cpf_responsavel = inscricoes_.NovoCPF();
  const Contador& contador = contadores_.front();

  gravador_.Inserir("EMPRESA", {{"CODIGOEMPRESA", kEmpresaCei}, {"NOMEEMPRESA", nome}});
  gravador_.Inserir("ESTAB", {{"CODIGOEMPRESA", kEmpresaCei},
                              {"CODIGOESTAB", 1},
                              {"APELIDOESTAB", "Propriedade Linha Bonita"},
                              {"TIPOINSCR", kTipoInscrCei},
                              {"INSCRFEDERAL", cei},
                              {"CODIGOTIPOLOGRAD", kEstrada},
                              {"ENDERECOESTAB", "Geral Linha Bonita"},
                              {"NUMENDERESTAB", "s/n"},
                              {"BAIRROENDERESTAB", "Interior"},
                              {"CODIGOMUNIC", kVenancioAires},
                              {"SIGLAESTADO", "RS"},
                              {"DATAINICIOATIV", Dia{ano_ - 8, 3, 1}.Texto()}});
  gravador_.Inserir("SOCIO", {{"CODIGOEMPRESA", kEmpresaCei},
                              {"CODIGOSOCIO", 1},
                              {"NOMESOCIO", "Egon Becker"},
                              {"INSCRFEDERAL", cpf_responsavel},
                              {"DATAINICIOSOCIO", Dia{ano_ - 8, 3, 1}.Texto()},
                              {"DATAFIMSOCIO", Dia{2100, 12, 31}.Texto()}});
  gravador_.Inserir("CFGEMPRESAGEM", {{"CODIGOEMPRESA", kEmpresaCei},
                                      {"CONTADORRESPPREENCHFEDERAL", contador.codigo},
                                      {"SOCIORESPCNPJ", 1}});
  gravador_.Inserir("DIRFREG1", {{"CODIGOEMPRESA", kEmpresaCei},
                                 {"ANOBASE", ano_base},
                                 {"TIPOINSCR", kTipoInscrCei},
                                 {"INSCRFEDERAL", cei},
                                 {"NOMEESTAB", nome},
                                 {"CPFRESPCNPJ", cpf_responsavel},
                                 {"CPFRESP", contador.cpf_responsavel},
                                 {"NOMERESP", contador.responsavel},
                                 {"DDDRESP", std::stoi(contador.ddd)},
                                 {"TELEFONERESP", std::stoi(contador.fone)},
                                 {"RAMALRESP", std::stoi(contador.ramal)},
                                 {"FAXRESP", std::stoi(contador.fax)},
                                 {"EMAILRESP", contador.email}});

  struct Beneficiario {
    std::string nome;
    std::vector<Registro> registros;
  };
  std::vector<Beneficiario> beneficiarios;

  // Veterinary visits too small for the 1.5% to be withheld; the year-end bonus is.
  {
    Registro vet(kCnpj, FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1), 1708, kInformeOutraEmpresa);
    for (int mes = 2; mes <= 11; ++mes) vet.meses[mes] = PagamentoEmpresa(1708, Reais(600));
    vet.meses[13] = PagamentoEmpresa(1708, Reais(1500));
    beneficiarios.push_back({"Veterinária Campo Forte Ltda", {vet}});
  }
  // A cooperative paid for freight (1708) and for machine maintenance (5952), each with its own
  // other information.
  {
    const std::string cnpj = FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1);
    Registro frete(kCnpj, cnpj, 1708, kInformeOutraEmpresa);
    for (int mes = 3; mes <= 8; ++mes) frete.meses[mes] = PagamentoEmpresa(1708, Reais(4800));
    frete.outras_informacoes = "Fretes de grãos da safra de verão.";
    Registro manutencao(kCnpj, cnpj, 5952, kInformeOutraEmpresa);
    for (int mes = 1; mes <= 12; ++mes) {
      manutencao.meses[mes] = PagamentoEmpresa(5952, Reais(2350));
    }
    manutencao.meses[13] = PagamentoEmpresa(5952, Reais(2000));
    manutencao.outras_informacoes =
        "Manutenção de máquinas agrícolas - contrato 12/2020.\nRetenções da Lei nº 10.833/2003.";
    beneficiarios.push_back({"Cooperativa Agroindustrial Vale Verde", {frete, manutencao}});
  }
  // Declared under contract, nothing paid in the year: no monthly rows.
  {
    Registro transporte(kCnpj, FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1), 5952,
                        kInformeOutraEmpresa);
    transporte.outras_informacoes = "Contrato de transporte sem pagamentos no ano.";
    beneficiarios.push_back({"Transportadora Linha Nova Ltda", {transporte}});
  }
  // Self-employed people at the third-party threshold of 6.000,00 a year.
  const auto autonomo = [&](Centavos ultimo_mes) {
    Registro registro(kCpf, inscricoes_.NovoCPF(), 588, kInformeTerceiro);
    for (int mes = 1; mes <= 12; ++mes) {
      Mes& pagamento = registro.meses[mes];
      pagamento.rendimento = mes == 12 ? ultimo_mes : Reais(500);
      pagamento.prev_oficial = InssContribuinteIndividual(pagamento.rendimento, ano_, mes);
      pagamento.retido =
          IrrfMensal(pagamento.rendimento, {pagamento.prev_oficial, 0, 0, 0}, ano_, mes).imposto;
    }
    return registro;
  };
  beneficiarios.push_back({"Ervino Schmitt", {autonomo(Reais(500))}});
  beneficiarios.push_back({"Lauri Kronbauer", {autonomo(Reais(500, 1))}});

  int codigo_terceiro = static_cast<int>(terceiros_.size());
  for (const Beneficiario& beneficiario : beneficiarios) {
    const Registro& primeiro = beneficiario.registros.front();
    gravador_.Inserir("DIRFREGBENEFICIARIO",
                      {{"CODIGOEMPRESA", kEmpresaCei},
                       {"ANOBASE", ano_base},
                       {"TIPOINSCRBENEF", primeiro.tipo_inscr},
                       {"INSCRFEDERALBENEF", primeiro.inscr},
                       {"NOMEBENEF", beneficiario.nome},
                       {"CODIGOESTAB", 1},
                       {"TIPOINSCR", primeiro.tipo_inscr},
                       {"EMAIL", EnderecoBeneficiario(beneficiario.nome, primeiro.inscr,
                                                      primeiro.tipo_inscr == kCnpj)}});
    if (primeiro.tipo_informe == kInformeTerceiro) {
      gravador_.Inserir("TERCEIRO", {{"CODIGOTERC", ++codigo_terceiro},
                                     {"NOMETERC", beneficiario.nome},
                                     {"CPFTERC", primeiro.inscr}});
    }
    for (const Registro& registro : beneficiario.registros) {
      Mes ano;
      Centavos valor13 = 0;
      for (const auto& [mes, valores] : registro.meses) {
        if (mes == 13) {
          valor13 = valores.rendimento;
          continue;
        }
        ano.rendimento += valores.rendimento;
        ano.retido += valores.retido;
        ano.prev_oficial += valores.prev_oficial;
      }
      gravador_.Inserir("DIRFREG2",
                        {{"CODIGOEMPRESA", kEmpresaCei},
                         {"ANOBASE", ano_base},
                         {"TIPOINSCRBENEF", registro.tipo_inscr},
                         {"INSCRFEDERALBENEF", registro.inscr},
                         {"CODIGORETENCAO", registro.codigo},
                         {"TIPOINFORME", registro.tipo_informe},
                         {"VALORRENDIMENTO", Valor(ano.rendimento)},
                         {"VALORRETIDO", Valor(ano.retido)},
                         {"PREVIDENCIAOFICIAL", Valor(ano.prev_oficial)},
                         {"VALOR13", Valor(valor13)},
                         {"OUTRASINFORMACOES", registro.outras_informacoes.empty()
                                                   ? Variant(nullptr)
                                                   : Variant(registro.outras_informacoes)}});
      for (const auto& [mes, valores] : registro.meses) {
        gravador_.Inserir("DIRFREG2DET", {{"CODIGOEMPRESA", kEmpresaCei},
                                          {"ANOBASE", ano_base},
                                          {"TIPOINSCRBENEF", registro.tipo_inscr},
                                          {"INSCRFEDERALBENEF", registro.inscr},
                                          {"CODIGORETENCAO", registro.codigo},
                                          {"MES", mes},
                                          {"VALORRENDIMENTO", Valor(valores.rendimento)},
                                          {"VALORRETIDO", Valor(valores.retido)},
                                          {"VALORPREVOFICIAL", Valor(valores.prev_oficial)},
                                          {"PIS", Valor(valores.pis)},
                                          {"COFINS", Valor(valores.cofins)},
                                          {"CSLL", Valor(valores.csll)}});
      }
    }
  }
}

}  // namespace nrw::demo
