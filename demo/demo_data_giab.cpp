// Records of the state informative guide of the main year: the two establishments of company 1 in
// Rio Grande do Sul, with rows for every annex. The second establishment has no international
// operations, so its annex 06 holds only the first one's rows; one purchase is from a producer
// whose municipality is not on record. Fixed figures, drawn from no random stream, so that the
// rest of the database does not move.
#include <fmt/format.h>

#include "demo/demo_data_internal.h"

namespace nrw::demo {
namespace {

struct Estoque {
  Centavos tributado;
  Centavos isento;
  Centavos em_terceiros;
  Centavos de_terceiros;
};

struct FichaGuia {
  const char* categoria;
  Centavos faturamento;
  Centavos kwh;
  Estoque inicial;
  Estoque final;
};

struct Compra {
  int produtor;     //!< index into the producers; -1: a registration not on record
  bool so_digitos;  //!< written without the mask's punctuation
  Centavos valor;
};

struct PorMunicipio {
  const char* nome;
  const char* codigo;
  Centavos valor;
};

//! Entries use the first five amounts (accounting value, base, others, oil and energy, other
//! products); exits all six.
struct Interestadual {
  const char* uf;
  std::array<Centavos, 6> valores;
};

struct PorCfop {
  const char* cfop;
  std::array<Centavos, 5> valores;
};

struct Exterior {
  const char* pais;
  Centavos entradas;
  Centavos saidas;
};

struct Anexos {
  std::vector<Compra> compras;
  std::vector<PorMunicipio> municipios;
  std::vector<Interestadual> entradas;
  std::vector<Interestadual> saidas;
  std::vector<PorCfop> cfops;
  std::vector<Exterior> exterior;
};

constexpr const char* kProdutorSemCadastro = "096/0012345";

const FichaGuia kFichas[] = {
    {"Geral",
     Reais(18453920, 37),
     Reais(184350),
     {Reais(2315480, 10), Reais(184300), Reais(95420, 50), Reais(12800)},
     {Reais(2688145, 92), Reais(201750, 40), Reais(88310), Reais(15600)}},
    {"Geral",
     Reais(6218400, 90),
     Reais(52180, 50),
     {Reais(745210), Reais(0), Reais(18400), Reais(0)},
     {Reais(812633, 25), Reais(4200), Reais(21950), Reais(0)}},
};

std::vector<Anexos> AnexosDosEstabelecimentos() {
  return {
      {{{0, false, Reais(48250)}, {1, true, Reais(12480, 50)}, {-1, false, Reais(3900)}},
       {{"Lajeado", "4311403", Reais(1245380)}, {"Estrela", "4307807", Reais(312450, 75)}},
       {{"SC", {Reais(845300), Reais(845300), 0, 0, 0, 0}},
        {"PR", {Reais(212480, 60), Reais(190000), Reais(22480, 60), 0, 0, 0}},
        {"SP", {Reais(1504230, 15), Reais(1504230, 15), 0, 0, Reais(38400), 0}}},
       {{"SC", {Reais(15800), Reais(2380450), Reais(15800), Reais(2380450), 0, 0}},
        {"PR", {0, Reais(1102300, 40), 0, Reais(1102300, 40), 0, Reais(84200)}}},
       {{"1101", {Reais(3108420, 30), Reais(3108420, 30), 0, 0, 0}},
        {"1556", {Reais(84215, 80), 0, 0, Reais(84215, 80), 0}},
        {"5101", {Reais(11320405, 12), Reais(11320405, 12), 0, 0, 0}},
        {"6101", {Reais(3482750, 40), Reais(3482750, 40), 0, 0, 0}},
        {"7101", {Reais(542360), 0, Reais(542360), 0, 0}}},
       {{"0639", Reais(118400), Reais(542360)}, {"8451", 0, Reais(96750, 25)}}},
      {{{2, false, Reais(7315, 20)}, {3, false, Reais(1250)}},
       {{"Estrela", "4307807", Reais(2080115, 30)}},
       {{"SP", {Reais(398700), Reais(398700), 0, Reais(12900), 0, 0}}},
       {{"SC", {Reais(4250), Reais(612800), Reais(4250), Reais(612800), 0, 0}},
        {"SP", {0, Reais(284900, 10), 0, Reais(284900, 10), 0, 0}},
        {"MG", {Reais(1890), 0, Reais(1890), 0, 0, 0}}},
       {{"1102", {Reais(1310480), Reais(1310480), 0, 0, 0}},
        {"5102", {Reais(4912330, 80), Reais(4912330, 80), 0, 0, 0}},
        {"6102", {Reais(903840, 10), Reais(903840, 10), 0, 0, 0}}},
       {}},
  };
}

std::string ApenasDigitos(std::string_view texto) {
  std::string digitos;
  for (const char c : texto) {
    if (c >= '0' && c <= '9') digitos += c;
  }
  return digitos;
}

std::string DescricaoCfop(std::string_view cfop) {
  if (cfop == "1101" || cfop == "1102") return "Compra para industrialização ou comercialização";
  if (cfop == "1556") return "Compra de material para uso ou consumo";
  if (cfop == "5101" || cfop == "6101") return "Venda de produção do estabelecimento";
  if (cfop == "5102" || cfop == "6102") return "Venda de mercadoria adquirida de terceiros";
  return "Venda de produção do estabelecimento para o exterior";
}

}  // namespace

void Gerador::GerarGuiaInformativa() {
  const Empresa& empresa = EmpresaDe(1);
  const Contador& contador = contadores_[static_cast<size_t>(empresa.contador - 1)];
  const std::string ano_base = AnoBase(ano_);
  const Dia fim_do_ano = UltimoDiaDoMes(ano_, 12);
  const std::vector<Anexos> anexos = AnexosDosEstabelecimentos();

  for (size_t i = 0; i < anexos.size(); ++i) {
    const Estabelecimento& estab = empresa.estabs[i];
    const FichaGuia& ficha = kFichas[i];

    // Employees on the last day of the year and the year's payroll come from the contracts.
    int64_t empregados = 0;
    Centavos folha_do_ano = 0;
    for (const Contrato& contrato : contratos_) {
      if (contrato.empresa != empresa.codigo) continue;
      const FolhaAnual folha = Folha(contrato, ano_);
      for (int mes = 1; mes <= 13; ++mes) {
        const Dia dia = mes == 13 ? fim_do_ano : UltimoDiaDoMes(ano_, mes);
        if (contrato.EstabEm(dia) == estab.codigo) folha_do_ano += folha.meses[mes].bruto;
      }
      const bool ativo = contrato.admissao <= fim_do_ano &&
                         (!contrato.demissao || fim_do_ano < *contrato.demissao);
      if (ativo && contrato.EstabEm(fim_do_ano) == estab.codigo) ++empregados;
    }

    // Every annex row carries the establishment's key and its state registration.
    int sequencia = 0;
    const auto anexo = [&](const char* tabela, std::initializer_list<Coluna> colunas) {
      std::vector<Coluna> linha = {{"CODIGOEMPRESA", empresa.codigo},
                                   {"CODIGOESTAB", estab.codigo},
                                   {"ANOBASE", ano_base},
                                   {"SEQUENCIA", ++sequencia},
                                   {"EMP_CGCTE", estab.inscr_estadual}};
      linha.insert(linha.end(), colunas.begin(), colunas.end());
      gravador_.Inserir(tabela, linha);
    };
    gravador_.Inserir("GIAB_TR001", {{"CODIGOEMPRESA", empresa.codigo},
                                     {"CODIGOESTAB", estab.codigo},
                                     {"ANOBASE", ano_base},
                                     {"Q01_RazaoSocial", empresa.nome},
                                     {"Q01_CNPJ", estab.cnpj},
                                     {"Q01_CGCTE", estab.inscr_estadual},
                                     {"Q02_Inicial", fmt::format("01/01/{}", ano_)},
                                     {"Q02_Final", fmt::format("31/12/{}", ano_)},
                                     {"Q02_Categoria", ficha.categoria},
                                     {"Q03_Faturamento", ficha.faturamento},
                                     {"Q04_Empregados", empregados},
                                     {"Q04_ValorFolhaSalarios", folha_do_ano},
                                     {"Q04_KwhConsumido", ficha.kwh},
                                     {"Q06_ProprioTributado", ficha.inicial.tributado},
                                     {"Q06_ProprioIsento", ficha.inicial.isento},
                                     {"Q06_Estab_Poder3o", ficha.inicial.em_terceiros},
                                     {"Q06_3o_PoderEstab", ficha.inicial.de_terceiros},
                                     {"Q07_ProprioTributado", ficha.final.tributado},
                                     {"Q07_ProprioIsento", ficha.final.isento},
                                     {"Q07_Estab_Poder3o", ficha.final.em_terceiros},
                                     {"Q07_3o_PoderEstab", ficha.final.de_terceiros},
                                     {"Q10_Nome", contador.nome},
                                     {"Q10_DDD", contador.ddd},
                                     {"Q10_Fone", contador.fone},
                                     {"Q10_CFPCNPJ", contador.inscr},
                                     {"Q10_NumeroCRC", "RS-045871/O-3"},
                                     {"Q10_Email", contador.email}});

    const Anexos& dados = anexos[i];
    for (const Compra& compra : dados.compras) {
      const std::string inscricao = compra.produtor < 0
                                        ? kProdutorSemCadastro
                                        : produtores_rurais_[static_cast<size_t>(compra.produtor)];
      anexo("GIAB_TR910", {{"PRO_CGCTE", compra.so_digitos ? ApenasDigitos(inscricao) : inscricao},
                           {"PRO_Valor", compra.valor}});
    }
    for (const PorMunicipio& municipio : dados.municipios) {
      anexo("GIAB_TR920", {{"MUN_NOME", municipio.nome},
                           {"MUN_CodigoMunic", municipio.codigo},
                           {"MUN_Valor", municipio.valor}});
    }
    for (const Interestadual& entrada : dados.entradas) {
      const auto& v = entrada.valores;
      anexo("GIAB_TR941", {{"EOE_CodigoFederacaoOri", entrada.uf},
                           {"EOE_ValorContabil", v[0]},
                           {"EOE_BaseCalculo", v[1]},
                           {"EOE_Outras", v[2]},
                           {"EOE_PetroleoEnergia", v[3]},
                           {"EOE_OutrosProdutos", v[4]}});
    }
    for (const Interestadual& saida : dados.saidas) {
      const auto& v = saida.valores;
      anexo("GIAB_TR942", {{"SOE_CodigoFederacaoDes", saida.uf},
                           {"SOE_ValorContabil_NContr", v[0]},
                           {"SOE_ValorContabil_Contr", v[1]},
                           {"SOE_BaseCalculo_NContr", v[2]},
                           {"SOE_BaseCalculo_Contr", v[3]},
                           {"SOE_Outras", v[4]},
                           {"SOE_SubTribut", v[5]}});
    }
    for (const PorCfop& cfop : dados.cfops) {
      const auto& v = cfop.valores;
      anexo("GIAB_TR950", {{"OPF_CFOP", cfop.cfop},
                           {"OPF_ValorContabil", v[0]},
                           {"OPF_BaseCalculo", v[1]},
                           {"OPF_IsentasNaoTrib", v[2]},
                           {"OPF_Outras", v[3]},
                           {"OPF_ImpExVrAdicionado", v[4]}});
      gravador_.Inserir("GIAB_TABCFOP", {{"CODIGOEMPRESA", empresa.codigo},
                                         {"CODIGOESTAB", estab.codigo},
                                         {"ANOBASE", ano_base},
                                         {"CFOP", cfop.cfop},
                                         {"DESCRICAO", DescricaoCfop(cfop.cfop)}});
    }
    for (const Exterior& pais : dados.exterior) {
      anexo("GIAB_TR960", {{"PAIS_CodigoPais", pais.pais},
                           {"PAIS_TotalEntradas", pais.entradas},
                           {"PAIS_TotalSaidas", pais.saidas}});
    }
    anexo("GIAB_TR990", {});
  }
}

}  // namespace nrw::demo
