// The withholding declaration of one base year: the declarants, the beneficiaries and their
// yearly records with the monthly detail. Yearly amounts are the sums of months 1 to 12; the
// thirteenth salary (month 13) goes to VALOR13.
#include <fmt/format.h>

#include <map>
#include <tuple>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

constexpr int kCpf = 1;
constexpr int kCnpj = 2;
constexpr int kInformeFuncionario = 1;
constexpr int kInformeTerceiro = 2;
constexpr int kInformeOutraEmpresa = 3;

struct MesDirf {
  Centavos rendimento = 0;
  Centavos retido = 0;
  Centavos prev_oficial = 0;
  Centavos prev_privada = 0;
  Centavos dependente = 0;
  Centavos pensao = 0;
  Centavos simplificado = 0;
  Centavos diarias = 0;
  Centavos indenizacao = 0;
  Centavos abono = 0;
  Centavos aposent65 = 0;
  Centavos medico_residente = 0;
  Centavos voluntario_copa = 0;
  Centavos pis = 0;
  Centavos cofins = 0;
  Centavos csll = 0;
};

struct Registro {
  int tipo_informe = kInformeFuncionario;
  std::map<int, MesDirf> meses;
  Centavos lucro_divid = 0;
  Centavos pago_socio = 0;
  Centavos invalidez = 0;
  Centavos outros_isento = 0;
  Centavos valor_outros = 0;
  Centavos juros_capital = 0;
  Centavos emprestimos = 0;
  std::string descr_outros_isento;
  std::string outras_informacoes;
};

struct Beneficiario {
  std::string nome;
  int estab = 1;
  //! An employee's address is the person's, not the declaration's.
  bool funcionario = false;
};

// company, registration type, registration number
using ChaveBeneficiario = std::tuple<int, int, std::string>;

// Collects one base year's records, merging what several contracts of a person contribute, and
// writes them in key order.
class Declaracao {
 public:
  explicit Declaracao(int ano) : ano_(ano) {}

  Registro& Novo(int empresa, int tipo_inscr, const std::string& inscr, const std::string& nome,
                 int estab, int codigo, int tipo_informe) {
    Beneficiario& beneficiario =
        beneficiarios_.try_emplace({empresa, tipo_inscr, inscr}, Beneficiario{nome, estab})
            .first->second;
    beneficiario.funcionario = beneficiario.funcionario || tipo_informe == kInformeFuncionario;
    Registro& registro = registros_[{{empresa, tipo_inscr, inscr}, codigo}];
    registro.tipo_informe = tipo_informe;
    return registro;
  }

  void Gravar(Gravador& gravador) const {
    const std::string ano_base = AnoBase(ano_);
    for (const auto& [chave, beneficiario] : beneficiarios_) {
      const auto& [empresa, tipo, inscr] = chave;
      gravador.Inserir(
          "DIRFREGBENEFICIARIO",
          {{"CODIGOEMPRESA", empresa},
           {"ANOBASE", ano_base},
           {"TIPOINSCRBENEF", tipo},
           {"INSCRFEDERALBENEF", inscr},
           {"NOMEBENEF", beneficiario.nome},
           {"CODIGOESTAB", beneficiario.estab},
           {"TIPOINSCR", tipo},
           {"EMAIL", beneficiario.funcionario
                         ? Variant(nullptr)
                         : EnderecoBeneficiario(beneficiario.nome, inscr, tipo == kCnpj)}});
    }
    for (const auto& [chave, registro] : registros_) GravarRegistro(gravador, chave, registro);
  }

 private:
  using Chave = std::tuple<ChaveBeneficiario, int>;

  void GravarRegistro(Gravador& gravador, const Chave& chave, const Registro& registro) const {
    const auto& [beneficiario, codigo] = chave;
    const auto& [empresa, tipo, inscr] = beneficiario;
    const std::string ano_base = AnoBase(ano_);
    MesDirf ano;      // months 1 to 12
    MesDirf isentos;  // exempt amounts of every month, 13 included
    for (const auto& [mes, valores] : registro.meses) {
      if (mes <= 12) {
        ano.rendimento += valores.rendimento;
        ano.retido += valores.retido;
        ano.prev_oficial += valores.prev_oficial;
        ano.prev_privada += valores.prev_privada;
        ano.pensao += valores.pensao;
      }
      isentos.diarias += valores.diarias;
      isentos.indenizacao += valores.indenizacao;
      isentos.aposent65 += valores.aposent65;
    }
    const auto decimo_terceiro = registro.meses.find(13);
    const Centavos valor13 =
        decimo_terceiro == registro.meses.end() ? 0 : decimo_terceiro->second.rendimento;
    gravador.Inserir("DIRFREG2",
                     {{"CODIGOEMPRESA", empresa},
                      {"ANOBASE", ano_base},
                      {"TIPOINSCRBENEF", tipo},
                      {"INSCRFEDERALBENEF", inscr},
                      {"CODIGORETENCAO", codigo},
                      {"TIPOINFORME", registro.tipo_informe},
                      {"VALORRENDIMENTO", Valor(ano.rendimento)},
                      {"VALORRETIDO", Valor(ano.retido)},
                      {"PREVIDENCIAOFICIAL", Valor(ano.prev_oficial)},
                      {"PREVIDENCIAPRIVADA", Valor(ano.prev_privada)},
                      {"PENSAOALIMENTICIA", Valor(ano.pensao)},
                      {"VALOR13", Valor(valor13)},
                      {"APOSENTADORIA", Valor(isentos.aposent65)},
                      {"DIARIAS", Valor(isentos.diarias)},
                      {"INVALIDEZ", Valor(registro.invalidez)},
                      {"LUCRODIVID1996", Valor(registro.lucro_divid)},
                      {"VLRPAGOSOCIOPQEMP", Valor(registro.pago_socio)},
                      {"INDENIZACAO", Valor(isentos.indenizacao)},
                      {"OUTROSRENDISENTO", Valor(registro.outros_isento)},
                      {"DESCROUTRENDISENTO", registro.descr_outros_isento.empty()
                                                 ? Variant(nullptr)
                                                 : Variant(registro.descr_outros_isento)},
                      {"VALOROUTROS", Valor(registro.valor_outros)},
                      {"JUROSCAPITALPROPRIO", Valor(registro.juros_capital)},
                      {"VALOREMPRESTIMOS", Valor(registro.emprestimos)},
                      {"OUTRASINFORMACOES", registro.outras_informacoes.empty()
                                                ? Variant(nullptr)
                                                : Variant(registro.outras_informacoes)}});
    for (const auto& [mes, valores] : registro.meses) {
      gravador.Inserir("DIRFREG2DET", {{"CODIGOEMPRESA", empresa},
                                       {"ANOBASE", ano_base},
                                       {"TIPOINSCRBENEF", tipo},
                                       {"INSCRFEDERALBENEF", inscr},
                                       {"CODIGORETENCAO", codigo},
                                       {"MES", mes},
                                       {"VALORRENDIMENTO", Valor(valores.rendimento)},
                                       {"VALORRETIDO", Valor(valores.retido)},
                                       {"VALORPREVOFICIAL", Valor(valores.prev_oficial)},
                                       {"VALORPREVPRIVADA", Valor(valores.prev_privada)},
                                       {"VALORDEPENDENTE", Valor(valores.dependente)},
                                       {"VALORPENSAOALIM", Valor(valores.pensao)},
                                       {"DESCONTOSIMPLIFICADO", Valor(valores.simplificado)},
                                       {"DIARIAS", Valor(valores.diarias)},
                                       {"INDENIZACAO", Valor(valores.indenizacao)},
                                       {"ABONOPECUNIARIO", Valor(valores.abono)},
                                       {"APOSENT65", Valor(valores.aposent65)},
                                       {"VALORMEDICORESIDENTE", Valor(valores.medico_residente)},
                                       {"VALORVOLUNTARIOCOPA", Valor(valores.voluntario_copa)},
                                       {"PIS", Valor(valores.pis)},
                                       {"COFINS", Valor(valores.cofins)},
                                       {"CSLL", Valor(valores.csll)}});
    }
  }

  int ano_;
  std::map<ChaveBeneficiario, Beneficiario> beneficiarios_;
  std::map<Chave, Registro> registros_;
};

void SomarMes(const MesFolha& folha, MesDirf& mes) {
  mes.rendimento += folha.bruto;
  mes.retido += folha.irrf;
  mes.prev_oficial += folha.inss;
  mes.prev_privada += folha.prev_privada;
  mes.dependente += folha.dependentes;
  mes.pensao += folha.pensao;
  mes.simplificado += folha.desconto_simplificado;
  mes.diarias += folha.diarias;
  mes.indenizacao += folha.indenizacao;
  mes.abono += folha.abono;
  mes.aposent65 += folha.aposent65;
  mes.medico_residente += folha.medico_residente;
  mes.voluntario_copa += folha.voluntario_copa;
}

void PreencherColunaAnual(const Contrato& contrato, Registro& registro) {
  const Centavos valor = contrato.valor_anual;
  switch (contrato.coluna_anual) {
    case ColunaAnual::kNenhuma:
      break;
    case ColunaAnual::kLucroDivid:
      registro.lucro_divid = valor;
      break;
    case ColunaAnual::kPagoSocioPequenaEmpresa:
      registro.pago_socio = valor;
      break;
    case ColunaAnual::kInvalidez:
      registro.invalidez = valor;
      break;
    case ColunaAnual::kValorOutros:
      registro.valor_outros = valor;
      break;
    case ColunaAnual::kJurosCapital:
      registro.juros_capital = valor;
      break;
    case ColunaAnual::kEmprestimos:
      registro.emprestimos = valor;
      break;
  }
}

std::string OutrasInformacoes(const Contrato& contrato, int ano) {
  if (!contrato.casos.Tem(Caso::kOutrasInformacoes)) return "";
  if (contrato.casos.Tem(Caso::kSocio)) {
    return fmt::format("Sócio administrador. Lucros apurados no balanço de {}.", ano - 1);
  }
  if (contrato.diretor) {
    return fmt::format("Diretor estatutário eleito em assembleia.\nMandato de {} a {}.", ano - 1,
                       ano + 1);
  }
  return "";
}

// Services of a self-employed person: social security withheld and deducted from the tax base.
// Rent (3208) has no social security.
MesDirf PagamentoPessoaFisica(int codigo, Centavos valor, int ano, int mes) {
  MesDirf pagamento;
  pagamento.rendimento = valor;
  if (codigo == 588) pagamento.prev_oficial = InssContribuinteIndividual(valor, ano, mes);
  const Retencao retencao = IrrfMensal(valor, {pagamento.prev_oficial, 0, 0, 0}, ano, mes);
  pagamento.retido = retencao.imposto;
  pagamento.simplificado = retencao.desconto_simplificado;
  return pagamento;
}

// Withholding on payments to companies: income tax 1.5% (1708); PIS 0.65%, COFINS 3% and CSLL
// 1% together (5952) or one at a time (5979, 5960, 5987).
MesDirf PagamentoPessoaJuridica(int codigo, Centavos valor) {
  MesDirf pagamento;
  pagamento.rendimento = valor;
  if (codigo == 5952 || codigo == 5979) pagamento.pis = Percentual(valor, 65);
  if (codigo == 5952 || codigo == 5960) pagamento.cofins = Percentual(valor, 300);
  if (codigo == 5952 || codigo == 5987) pagamento.csll = Percentual(valor, 100);
  pagamento.retido =
      codigo == 1708 ? Percentual(valor, 150) : pagamento.pis + pagamento.cofins + pagamento.csll;
  return pagamento;
}

}  // namespace

void Gerador::GerarDeclaracao(int ano) {
  const bool principal = ano == ano_;
  for (const Empresa& empresa : empresas_) {
    const Contador& contador = contadores_.at(static_cast<size_t>(empresa.contador) - 1);
    const Socio& responsavel =
        empresa.socios.at(static_cast<size_t>(empresa.socio_responsavel) - 1);
    gravador_.Inserir("DIRFREG1", {{"CODIGOEMPRESA", empresa.codigo},
                                   {"ANOBASE", AnoBase(ano)},
                                   {"TIPOINSCR", 2},
                                   {"INSCRFEDERAL", empresa.estabs.front().cnpj},
                                   {"NOMEESTAB", empresa.nome},
                                   {"CPFRESPCNPJ", responsavel.cpf},
                                   {"CPFRESP", contador.cpf_responsavel},
                                   {"NOMERESP", contador.responsavel},
                                   {"DDDRESP", std::stoi(contador.ddd)},
                                   {"TELEFONERESP", std::stoi(contador.fone)},
                                   {"RAMALRESP", std::stoi(contador.ramal)},
                                   {"FAXRESP", std::stoi(contador.fax)},
                                   {"EMAILRESP", contador.email}});
  }

  auto sem_beneficiarios = [&](int empresa) {
    return principal && !EmpresaDe(empresa).beneficiarios_no_ano;
  };
  Declaracao declaracao(ano);
  for (const Contrato& contrato : contratos_) {
    if (sem_beneficiarios(contrato.empresa)) continue;
    const FolhaAnual folha = Folha(contrato, ano);
    const Pessoa& pessoa = PessoaDe(contrato);
    const Dia fim_do_ano = UltimoDiaDoMes(ano, 12);
    const int estab = contrato.EstabEm(
        contrato.demissao && *contrato.demissao < fim_do_ano ? *contrato.demissao : fim_do_ano);
    auto novo = [&](int codigo, int tipo_informe) -> Registro& {
      return declaracao.Novo(contrato.empresa, kCpf, pessoa.cpf, pessoa.nome, estab, codigo,
                             tipo_informe);
    };

    bool trabalhou = false;
    for (int mes = 1; mes <= 13; ++mes) trabalhou = trabalhou || !folha.meses[mes].Vazio();
    if (trabalhou) {
      Registro& registro = novo(561, kInformeFuncionario);
      for (int mes = 1; mes <= 13; ++mes) {
        if (!folha.meses[mes].Vazio()) SomarMes(folha.meses[mes], registro.meses[mes]);
      }
      PreencherColunaAnual(contrato, registro);
      registro.outras_informacoes = OutrasInformacoes(contrato, ano);
      if (principal && contrato.casos.Tem(Caso::kIsentoDetalhado)) {
        for (const ItemIsento& item : kIsentosDetalhados) registro.outros_isento += item.valor;
      }
      if (principal && contrato.casos.Tem(Caso::kIsentoDescrito)) {
        registro.descr_outros_isento = kIsentoDescrito.descricao;
        registro.outros_isento = kIsentoDescrito.valor;
      }
    }
    if (folha.plr > 0) {
      MesDirf& mes = novo(3562, kInformeFuncionario).meses[folha.mes_plr];
      mes.rendimento += folha.plr;
      mes.retido += folha.irrf_plr;
    }
    if (principal && contrato.casos.Tem(Caso::kDoisCodigos)) {
      // Occasional in-house training paid as a self-employed service.
      Registro& servicos = novo(588, kInformeTerceiro);
      servicos.outras_informacoes =
          "Instrutoria em treinamentos internos (março, julho e outubro).";
      for (const int mes : {3, 7, 10}) {
        servicos.meses[mes] = PagamentoPessoaFisica(588, Reais(1800), ano, mes);
      }
    }
  }

  for (const Terceiro& terceiro : terceiros_) {
    if ((principal && terceiro.so_ano_anterior) || sem_beneficiarios(terceiro.empresa)) continue;
    for (const int codigo : terceiro.codigos_retencao) {
      Registro& registro = declaracao.Novo(terceiro.empresa, kCpf, terceiro.cpf, terceiro.nome, 1,
                                           codigo, kInformeTerceiro);
      for (int mes = 1; mes <= 12; ++mes) {
        if ((terceiro.meses >> (mes - 1) & 1) == 0) continue;
        registro.meses[mes] = PagamentoPessoaFisica(codigo, terceiro.valor_mensal, ano, mes);
      }
    }
  }

  for (const OutraEmpresa& outra : outras_empresas_) {
    if (sem_beneficiarios(outra.empresa)) continue;
    for (const int codigo : outra.codigos_retencao) {
      Registro& registro = declaracao.Novo(outra.empresa, kCnpj, outra.cnpj, outra.nome, 1, codigo,
                                           kInformeOutraEmpresa);
      if (codigo == outra.codigos_retencao.front()) {
        registro.outras_informacoes = outra.outras_informacoes;
      }
      for (int mes = 1; mes <= 12; ++mes) {
        if ((outra.meses >> (mes - 1) & 1) == 0) continue;
        registro.meses[mes] = PagamentoPessoaJuridica(codigo, outra.valor_mensal);
      }
    }
  }
  declaracao.Gravar(gravador_);
}

FolhaAnual Gerador::Folha(const Contrato& contrato, int ano) const {
  return CalcularFolha(contrato, ano, ano_, opcoes_.semente);
}

}  // namespace nrw::demo
