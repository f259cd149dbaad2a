// Complementary information of the statements: health plans with dependents and reimbursements,
// alimony, income received cumulatively, medical expenses, itemised exempt income, silent-
// partnership profits and other income paid. Each block belongs to a case of the fixed roster.
#include <fmt/format.h>

#include "demo/demo_data_internal.h"
#include "nrw/core.h"

namespace nrw::demo {
namespace {

struct Operadora {
  std::string cnpj;
  std::string nome;
};

struct Parente {
  std::string cpf;  // empty for a child without one
  std::string nome;
  Variant Cpf() const { return cpf.empty() ? Variant(nullptr) : Variant(cpf); }
};

struct CoberturaDependente {
  const Parente* dependente;
  Centavos pago;
  Centavos reembolso_ano;
  Centavos reembolso_anterior;
};

struct Plano {
  const Operadora* operadora;
  Centavos titular;
  Centavos reembolso_ano;
  Centavos reembolso_anterior;
  std::vector<CoberturaDependente> dependentes;
};

void GravarPlano(Gravador& gravador, int empresa, int ano, const std::string& cpf,
                 const Plano& plano) {
  const std::string ano_base = AnoBase(ano);
  gravador.Inserir("DIRFPLANOSAUDE",
                   {{"CODIGOEMPRESA", empresa},
                    {"ANOBASE", ano_base},
                    {"TIPOINSCRBENEF", 1},
                    {"INSCRFEDERALBENEF", cpf},
                    {"INSCRIFEDERALOPER", plano.operadora->cnpj},
                    {"NOMEOPERADORA", plano.operadora->nome},
                    {"VALORPAGOTITULAR", Valor(plano.titular)},
                    {"VALORPAGOREEMBOLSOANO", Valor(plano.reembolso_ano)},
                    {"VALORPAGOREEMBOLSOANOANT", Valor(plano.reembolso_anterior)}});
  int seq = 0;
  for (const CoberturaDependente& cobertura : plano.dependentes) {
    gravador.Inserir("DIRFPLANOSAUDEDEPEND",
                     {{"CODIGOEMPRESA", empresa},
                      {"ANOBASE", ano_base},
                      {"TIPOINSCRBENEF", 1},
                      {"INSCRFEDERALBENEF", cpf},
                      {"INSCRIFEDERALOPER", plano.operadora->cnpj},
                      {"SEQ", ++seq},
                      {"CPFDEPENDENTE", cobertura.dependente->Cpf()},
                      {"NOME", cobertura.dependente->nome},
                      {"VALORPAGOANO", Valor(cobertura.pago)},
                      {"VALORPAGOREEMBOLSOANO", Valor(cobertura.reembolso_ano)},
                      {"VALORPAGOREEMBOLSOANOANT", Valor(cobertura.reembolso_anterior)}});
  }
}

// Splits an amount between recipients, the first ones taking the rounding down.
std::vector<Centavos> Dividir(Centavos total, size_t partes) {
  std::vector<Centavos> quinhoes(partes, total / static_cast<Centavos>(partes));
  quinhoes.back() += total - quinhoes.back() * static_cast<Centavos>(partes);
  return quinhoes;
}

// One payment of a lawsuit: 15% lawyer's fees, 8% social security and 20% alimony on the net,
// taxed with the table times the months it refers to.
struct ParcelaRra {
  int mes;
  int meses_decimos;
  Centavos rendimento;
  Centavos despesa = 0;
  Centavos previdencia = 0;
  Centavos pensao = 0;
  Centavos imposto = 0;
};

ParcelaRra CalcularParcela(int ano, int mes, int meses_decimos, Centavos rendimento) {
  ParcelaRra parcela{mes, meses_decimos, rendimento};
  parcela.despesa = Percentual(rendimento, 1500);
  parcela.previdencia = Percentual(rendimento, 800);
  parcela.pensao = Percentual(rendimento - parcela.despesa - parcela.previdencia, 2000);
  const Centavos base = rendimento - parcela.despesa - parcela.previdencia - parcela.pensao;
  parcela.imposto = IrrfRra(base, meses_decimos, ano, mes);
  return parcela;
}

struct ProcessoRra {
  int seq;
  std::string natureza;
  std::string numero;
  const Parente* advogado;
  std::vector<ParcelaRra> parcelas;
};

Variant Meses(int decimos) { return Variant(decimos / 10.0); }

}  // namespace

void Gerador::GerarComplementos() {
  GerarPlanosSaude();
  GerarPensoesERra();
  GerarDespesasEIsentos();
  GerarScp();
  GerarOutrosRendimentos();
}

// Two operators with dependents for one beneficiary, holder reimbursements for another, one
// dependent for a third; in the year before, only the first beneficiary's health plan.
void Gerador::GerarPlanosSaude() {
  const Operadora saude{FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1),
                        "Saúde Integral Operadora de Planos de Saúde Ltda"};
  const Operadora odonto{FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1),
                         "Sorriso Pleno Planos Odontológicos S.A."};
  const Operadora vida{FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1),
                       "Vida Plena Assistência Médica Ltda"};

  const Contrato& dois = ContratoCom(Caso::kPlanoDuasOperadoras);
  const std::string sobrenome = UltimoSobrenome(PessoaDe(dois).nome);
  const Parente conjuge{inscricoes_.NovoCPF(),
                        PrimeiroNome(nomes_, Sexo::kFeminino) + " " + sobrenome};
  const Parente filho{inscricoes_.NovoCPF(),
                      PrimeiroNome(nomes_, Sexo::kMasculino) + " " + sobrenome};
  GravarPlano(gravador_, dois.empresa, ano_, PessoaDe(dois).cpf,
              {&saude,
               Reais(4320),
               Reais(380),
               Reais(120),
               {{&conjuge, Reais(3180), Reais(250), 0}, {&filho, Reais(2160), 0, Reais(90)}}});
  GravarPlano(gravador_, dois.empresa, ano_, PessoaDe(dois).cpf,
              {&odonto, Reais(540), 0, 0, {{&conjuge, Reais(540), 0, 0}}});
  GravarPlano(gravador_, dois.empresa, ano_ - 1, PessoaDe(dois).cpf,
              {&saude, Reais(3980), 0, 0, {{&conjuge, Reais(2900), 0, 0}}});

  const Contrato& um = ContratoCom(Caso::kPlanoUmaOperadora);
  GravarPlano(gravador_, um.empresa, ano_, PessoaDe(um).cpf,
              {&vida, Reais(3960), Reais(1150), 0, {}});

  const Contrato& com_dependente = ContratoCom(Caso::kPlanoDependente);
  const Parente filha{inscricoes_.NovoCPF(), PrimeiroNome(nomes_, Sexo::kFeminino) + " " +
                                                 UltimoSobrenome(PessoaDe(com_dependente).nome)};
  GravarPlano(gravador_, com_dependente.empresa, ano_, PessoaDe(com_dependente).cpf,
              {&saude, Reais(5100), 0, 0, {{&filha, Reais(2640), 0, 0}}});
}

// The alimony payer: his recipients (a child without CPF and the former wife) in both years,
// and two lawsuits received cumulatively in the main year, whose alimony goes to the same people.
void Gerador::GerarPensoesERra() {
  const Contrato& contrato = ContratoCom(Caso::kPensao);
  const Pessoa& pessoa = PessoaDe(contrato);
  const std::vector<Parente> beneficiarios = {
      {"", PrimeiroNome(nomes_, Sexo::kFeminino) + " " + UltimoSobrenome(pessoa.nome)},
      {inscricoes_.NovoCPF(), NomeCompleto(nomes_, Sexo::kFeminino)},
  };
  for (const int ano : {ano_ - 1, ano_}) {
    const FolhaAnual folha = Folha(contrato, ano);
    Centavos normal = 0;
    for (int mes = 1; mes <= 12; ++mes) normal += folha.meses[mes].pensao;
    const std::vector<Centavos> normais = Dividir(normal, beneficiarios.size());
    const std::vector<Centavos> decimos = Dividir(folha.meses[13].pensao, beneficiarios.size());
    for (size_t i = 0; i < beneficiarios.size(); ++i) {
      gravador_.Inserir("INFORMERENDIMENTOFUNC", {{"CODIGOEMPRESA", contrato.empresa},
                                                  {"ANOBASE", AnoBase(ano)},
                                                  {"TIPOINSCRBENEF", 1},
                                                  {"INSCRFEDERALBENEF", pessoa.cpf},
                                                  {"SEQ", static_cast<int>(i) + 1},
                                                  {"CPF", beneficiarios[i].Cpf()},
                                                  {"NOME", beneficiarios[i].nome},
                                                  {"VALORNORMAL", Valor(normais[i])},
                                                  {"VALOR13", Valor(decimos[i])}});
    }
  }

  const Contrato& reclamante = ContratoCom(Caso::kRra);
  const Parente advogado{inscricoes_.NovoCPF(), "Marcos Vinícius Dresch"};
  const Parente advogada{inscricoes_.NovoCPF(), "Luciane Both Kerber"};
  const std::vector<ProcessoRra> processos = {
      {1,
       "Reclamatória trabalhista - horas extras",
       fmt::format("0020345-12.{}.5.04.0771", ano_ - 2),
       &advogado,
       {CalcularParcela(ano_, 4, 145, Reais(86400))}},
      {2,
       "Diferenças salariais - equiparação",
       fmt::format("0021187-45.{}.5.04.0772", ano_ - 1),
       &advogada,
       {CalcularParcela(ano_, 9, 50, Reais(21000)), CalcularParcela(ano_, 10, 30, Reais(12600))}},
  };
  const std::string ano_base = AnoBase(ano_);
  const std::string& cpf = PessoaDe(reclamante).cpf;
  for (const ProcessoRra& processo : processos) {
    ParcelaRra total{0, 0, 0};
    for (const ParcelaRra& parcela : processo.parcelas) {
      total.meses_decimos += parcela.meses_decimos;
      total.rendimento += parcela.rendimento;
      total.despesa += parcela.despesa;
      total.previdencia += parcela.previdencia;
      total.pensao += parcela.pensao;
      total.imposto += parcela.imposto;
    }
    gravador_.Inserir("DIRFRENDRECEBACUM", {{"CODIGOEMPRESA", reclamante.empresa},
                                            {"ANOBASE", ano_base},
                                            {"TIPOINSCRBENEF", 1},
                                            {"INSCRFEDERALBENEF", cpf},
                                            {"SEQ", processo.seq},
                                            {"NATUREZARRA", processo.natureza},
                                            {"NUMPROCESSORRA", processo.numero},
                                            {"QTDEMESES", Meses(total.meses_decimos)},
                                            {"INSCRFEDERALADV", processo.advogado->cpf},
                                            {"NOMEADV", processo.advogado->nome},
                                            {"RENDTRIBUTAVEL", Valor(total.rendimento)},
                                            {"DESPESAACAOJUD", Valor(total.despesa)},
                                            {"PREVIDENCIAOFICIAL", Valor(total.previdencia)},
                                            {"PENSAOALIMENTICIA", Valor(total.pensao)},
                                            {"IMPOSTORETIDO", Valor(total.imposto)},
                                            {"PARCAPOSENTADOACIMASESSENTAANO", Valor(0)},
                                            {"RENDISENTOMOLESTIA", Valor(0)}});
    for (const ParcelaRra& parcela : processo.parcelas) {
      gravador_.Inserir("DIRFRENDRECEBACUMDET", {{"CODIGOEMPRESA", reclamante.empresa},
                                                 {"ANOBASE", ano_base},
                                                 {"TIPOINSCRBENEF", 1},
                                                 {"INSCRFEDERALBENEF", cpf},
                                                 {"SEQ", processo.seq},
                                                 {"MES", parcela.mes},
                                                 {"QTDEMESES", Meses(parcela.meses_decimos)},
                                                 {"RENDTRIBUTAVEL", Valor(parcela.rendimento)},
                                                 {"DESPESAACAOJUD", Valor(parcela.despesa)},
                                                 {"PREVIDENCIAOFICIAL", Valor(parcela.previdencia)},
                                                 {"PENSAOALIMENTICIA", Valor(parcela.pensao)},
                                                 {"IMPOSTORETIDO", Valor(parcela.imposto)},
                                                 {"PARCAPOSENTADOACIMASESSENTAANO", Valor(0)},
                                                 {"RENDISENTOMOLESTIA", Valor(0)}});
    }
    const std::vector<Centavos> quinhoes = Dividir(total.pensao, beneficiarios.size());
    for (size_t i = 0; i < beneficiarios.size(); ++i) {
      gravador_.Inserir("DIRFRENDRECEBACUMDEPEND", {{"CODIGOEMPRESA", reclamante.empresa},
                                                    {"ANOBASE", ano_base},
                                                    {"TIPOINSCRBENEF", 1},
                                                    {"INSCRFEDERALBENEF", cpf},
                                                    {"SEQ", processo.seq},
                                                    {"SEQDEPEND", static_cast<int>(i) + 1},
                                                    {"CPF", beneficiarios[i].Cpf()},
                                                    {"NOME", beneficiarios[i].nome},
                                                    {"VALORNORMAL", Valor(quinhoes[i])},
                                                    {"VALOR13", Valor(0)}});
    }
  }
}

void Gerador::GerarDespesasEIsentos() {
  struct Despesa {
    const char* descricao;
    Centavos valor;
  };
  const std::vector<std::vector<Despesa>> despesas = {
      {{"Consultas médicas", Reais(1250)}, {"Tratamento odontológico", Reais(2380)}},
      {{"Exames laboratoriais", Reais(640)}},
  };
  size_t proxima = 0;
  for (const Contrato& contrato : contratos_) {
    if (!contrato.casos.Tem(Caso::kDespesaMedica) || proxima == despesas.size()) continue;
    int seq = 0;
    for (const Despesa& despesa : despesas[proxima++]) {
      gravador_.Inserir("INFORMERENDIMENTOEVENTO", {{"CODIGOEMPRESA", contrato.empresa},
                                                    {"ANOBASE", AnoBase(ano_)},
                                                    {"TIPOINSCRBENEF", 1},
                                                    {"INSCRFEDERALBENEF", PessoaDe(contrato).cpf},
                                                    {"CODIGORETENCAO", 561},
                                                    {"SEQ", ++seq},
                                                    {"DESCRDESPESA", despesa.descricao},
                                                    {"VALORDESPESA", Valor(despesa.valor)}});
    }
  }

  const Contrato& isento = ContratoCom(Caso::kIsentoDetalhado);
  int seq = 0;
  for (const ItemIsento& item : kIsentosDetalhados) {
    gravador_.Inserir("INFORMERENDIMENTOISENTO", {{"CODIGOEMPRESA", isento.empresa},
                                                  {"ANOBASE", AnoBase(ano_)},
                                                  {"TIPOINSCRBENEF", 1},
                                                  {"INSCRFEDERALBENEF", PessoaDe(isento).cpf},
                                                  {"CODIGORETENCAO", 561},
                                                  {"SEQ", ++seq},
                                                  {"DESCRICAO", item.descricao},
                                                  {"VALOR", Valor(item.valor)}});
  }
}

// Quarterly profits of a silent partnership paid to the director of company 3.
void Gerador::GerarScp() {
  const Contrato& contrato = ContratoCom(Caso::kScp);
  const Pessoa& socio = PessoaDe(contrato);
  const std::string scp = FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1);
  const std::string ano_base = AnoBase(ano_);
  gravador_.Inserir("DIRFSCPSOCIO", {{"CODIGOEMPRESA", contrato.empresa},
                                     {"ANOBASE", ano_base},
                                     {"INSCRFEDERALDIRFSCP", scp},
                                     {"INSCRFEDERALSOCIO", socio.cpf},
                                     {"NOMESOCIO", socio.nome}});
  const std::pair<int, Centavos> lucros[] = {
      {3, Reais(4500)}, {6, Reais(5200)}, {9, Reais(3900)}, {12, Reais(6100)}};
  for (const auto& [mes, valor] : lucros) {
    gravador_.Inserir("DIRFSCPSOCIODETALHE", {{"CODIGOEMPRESA", contrato.empresa},
                                              {"ANOBASE", ano_base},
                                              {"INSCRFEDERALDIRFSCP", scp},
                                              {"INSCRFEDERALSOCIO", socio.cpf},
                                              {"MES", mes},
                                              {"VALOR", Valor(valor)}});
  }
}

// Other income by payment date: described ones (field 5) for a partner, an employee contract and
// a third party, undescribed ones (other fields), and one paid in the year before.
void Gerador::GerarOutrosRendimentos() {
  struct Link {
    Variant socio = nullptr;
    Variant contrato = nullptr;
    Variant terceiro = nullptr;
  };
  std::vector<int> proximo(empresas_.size() + 1, 0);
  auto gravar = [&](int empresa, int codigo_imposto, int campo, const char* descricao, Dia data,
                    Centavos valor, const Link& link) {
    gravador_.Inserir("INFORMERENDIMENTOOUTREND",
                      {{"CODIGOEMPRESA", empresa},
                       {"CODIGOINFOUTREND", ++proximo[static_cast<size_t>(empresa)]},
                       {"CODIGOIMPOSTO", codigo_imposto},
                       {"CAMPOINFORME", campo},
                       {"DESCRICAORENDIMENTO", descricao ? Variant(descricao) : Variant(nullptr)},
                       {"DATAPGTO", data.Texto()},
                       {"VALORRENDIMENTO", Valor(valor)},
                       {"CODIGOSOCIO", link.socio},
                       {"CODIGOFUNCCONTR", link.contrato},
                       {"CODIGOTERC", link.terceiro}});
  };
  auto terceiro = [&](std::string_view nome) -> const Terceiro& {
    for (const Terceiro& t : terceiros_) {
      if (t.nome == nome) return t;
    }
    throw Exception("Dados de demonstração: terceiro inexistente.");
  };

  for (const Contrato& contrato : contratos_) {
    if (!contrato.casos.Tem(Caso::kOutroRendimento)) continue;
    if (contrato.casos.Tem(Caso::kSocio)) {
      for (const Socio& socio : EmpresaDe(contrato.empresa).socios) {
        if (socio.cpf != PessoaDe(contrato).cpf) continue;
        gravar(contrato.empresa, 561, 5, "Pró-labore de dezembro pago em janeiro", {ano_, 1, 10},
               contrato.salario, {.socio = socio.codigo});
      }
    } else if (contrato.casos.Tem(Caso::kPlr)) {
      gravar(contrato.empresa, 561, 3, nullptr, {ano_, 9, 30}, Reais(2400),
             {.contrato = contrato.codigo});
    } else {
      gravar(contrato.empresa, 561, 5, "Auxílio-educação - curso técnico", {ano_, 4, 5},
             Reais(1850), {.contrato = contrato.codigo});
      gravar(contrato.empresa, 561, 5, "Auxílio-educação - matrícula", {ano_ - 1, 12, 20},
             Reais(600), {.contrato = contrato.codigo});
    }
  }
  const Terceiro& com_reembolso = terceiro("Lúcia Trevisan");
  gravar(com_reembolso.empresa, 588, 5, "Reembolso de despesas de viagem", {ano_, 5, 15},
         Reais(640), {.terceiro = com_reembolso.codigo});
  const Terceiro& advogado = terceiro("Alberto Nardi");
  gravar(advogado.empresa, 588, 4, nullptr, {ano_, 6, 30}, Reais(1200),
         {.terceiro = advogado.codigo});
}

}  // namespace nrw::demo
