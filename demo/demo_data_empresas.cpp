// States, municipalities, companies with their establishments, partners, articles of association
// and accountants; the yearly limits, contract types and payroll events; rural producers.
#include <fmt/format.h>

#include "demo/demo_data_internal.h"
#include "nrw/util.h"

namespace nrw::demo {
namespace {

struct Estado {
  const char* sigla;
  const char* nome;
  const char* mascara;
};
constexpr Estado kEstados[] = {
    {"RS", "Rio Grande do Sul", "999/9999999"},
    {"SC", "Santa Catarina", "999.999.999"},
    {"PR", "Paraná", "99999999-99"},
    {"SP", "São Paulo", "999.999.999.999"},
};

struct Municipio {
  const char* uf;
  int codigo;
  const char* nome;
};
constexpr Municipio kMunicipios[] = {
    {"RS", 4311403, "Lajeado"},         {"RS", 4307807, "Estrela"},
    {"RS", 4314902, "Porto Alegre"},    {"RS", 4305108, "Caxias do Sul"},
    {"RS", 4302105, "Bento Gonçalves"}, {"RS", 4316808, "Santa Cruz do Sul"},
    {"RS", 4322608, "Venâncio Aires"},  {"SC", 4205407, "Florianópolis"},
    {"SC", 4209102, "Joinville"},       {"PR", 4106902, "Curitiba"},
    {"SP", 3550308, "São Paulo"},
};

constexpr const char* kTiposLogradouro[] = {"Rua",     "Avenida", "Travessa",
                                            "Rodovia", "Praça",   "Estrada"};
constexpr int kRua = 1;
constexpr int kAvenida = 2;
constexpr int kRodovia = 4;

const char* MascaraDoEstado(std::string_view uf) {
  for (const Estado& estado : kEstados) {
    if (uf == estado.sigla) return estado.mascara;
  }
  return "";
}

std::string NumeroComMascara(Aleatorio& aleatorio, std::string_view mascara) {
  std::string digitos;
  for (const char c : mascara) {
    if (c == '9') digitos += static_cast<char>('0' + aleatorio.Entre(0, 9));
  }
  return FormatarConteudoMascara(digitos, mascara, static_cast<int>(mascara.size()));
}

struct FichaEstab {
  const char* apelido;
  int tipo_logradouro;
  const char* logradouro;
  const char* numero;
  const char* complemento;
  const char* bairro;
  int municipio;
  const char* uf;
};

struct FichaSocio {
  const char* nome;
  int64_t cotas;
  int anos_inicio;  // relative to the main year
  int anos_fim;     // relative to the main year; kAtivo while still a partner
};
constexpr int kAtivo = 99;

struct FichaEmpresa {
  const char* nome;
  const char* cnae;
  Centavos valor_nominal_cota;
  int contador;
  std::vector<FichaEstab> estabs;
  std::vector<FichaSocio> socios;
  bool beneficiarios_no_ano;
};

std::vector<FichaEmpresa> FichasEmpresas() {
  return {
      {"Metalúrgica Vale do Taquari Ltda",
       "2511-0/00",
       Reais(1),
       1,
       {{"Matriz Lajeado", kRua, "Júlio de Castilhos", "1450", "", "Centro", 4311403, "RS"},
        {"Filial Estrela", kAvenida, "Rio Branco", "820", "Pavilhão 2", "Centro", 4307807, "RS"},
        {"Escritório Porto Alegre", kAvenida, "Ipiranga", "6681", "Sala 504", "Partenon", 4314902,
         "RS"}},
       {{"Roberto Carlos Schneider", 90000, -14, kAtivo},
        {"Helena Maria Schneider", 60000, -14, kAtivo},
        {"Arno Luiz Mallmann", 20000, -14, -1}},
       true},
      {"Comercial Serra Gaúcha Ltda",
       "4744-0/99",
       Reais(1),
       1,
       {{"Loja Caxias do Sul", kRua, "Sinimbu", "1670", "", "Centro", 4305108, "RS"},
        {"Loja Bento Gonçalves", kRua, "Marechal Deodoro", "455", "Loja 1", "Cidade Alta", 4302105,
         "RS"}},
       {{"Eduardo Tomazzoni", 30000, -9, kAtivo},
        {"Cristina Zanella Tomazzoni", 20000, -9, kAtivo}},
       true},
      {"Clínica Bem Viver Serviços Médicos Ltda",
       "8630-5/03",
       Reais(10),
       2,
       {{"Sede Florianópolis", kRua, "Bocaiúva", "2125", "Conjunto 301", "Centro", 4205407, "SC"}},
       {{"Ricardo Amorim Vieira", 5000, -6, kAtivo}, {"Beatriz Silveira Vieira", 5000, -6, kAtivo}},
       true},
      {"Transportes Rodovia Sul Ltda",
       "4930-2/02",
       Reais(1),
       2,
       {{"Matriz Curitiba", kRodovia, "BR-116", "9800", "Km 98", "Hauer", 4106902, "PR"}},
       {{"Zenon Kowalski", 80000, -20, kAtivo}, {"Irene Kowalski", 20000, -20, kAtivo}},
       false},
  };
}

}  // namespace

void Gerador::GravarLocalidades() {
  for (const Estado& estado : kEstados) {
    gravador_.Inserir("ESTADO", {{"SIGLAESTADO", estado.sigla},
                                 {"NOMEESTADO", estado.nome},
                                 {"MASCINSCRESTAD", estado.mascara}});
  }
  for (const Municipio& municipio : kMunicipios) {
    gravador_.Inserir("MUNICIPIO", {{"SIGLAESTADO", municipio.uf},
                                    {"CODIGOMUNIC", municipio.codigo},
                                    {"NOMEMUNIC", municipio.nome}});
  }
  int codigo = 0;
  for (const char* tipo : kTiposLogradouro) {
    gravador_.Inserir("TIPOLOGRADOURO",
                      {{"CODIGOTIPOLOGRAD", ++codigo}, {"DESCRTIPOLOGRAD", tipo}});
  }
}

void Gerador::MontarEmpresas() {
  Aleatorio aleatorio(Semente(1));
  contadores_ = {
      {1, 1, inscricoes_.NovoCPF(), "Rosângela Maria Feldmann", "51", "37143388", "21", "37143389",
       "rosangela@feldmanncontabil.com.br", "Rosângela Maria Feldmann", ""},
      {2, 2, FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1), "Exatta Contabilidade e Assessoria Ltda",
       "48", "32241570", "5", "32241571", "fiscal@exattacontabil.com.br", "Valdir Antônio Sehn",
       inscricoes_.NovoCPF()},
  };
  contadores_[0].cpf_responsavel = contadores_[0].inscr;

  int codigo_empresa = 0;
  for (const FichaEmpresa& ficha : FichasEmpresas()) {
    Empresa empresa;
    empresa.codigo = ++codigo_empresa;
    empresa.nome = ficha.nome;
    empresa.valor_nominal_cota = ficha.valor_nominal_cota;
    empresa.contador = ficha.contador;
    empresa.beneficiarios_no_ano = ficha.beneficiarios_no_ano;
    const std::string raiz = inscricoes_.NovaRaizCNPJ();
    const int fundacao = ano_ + ficha.socios.front().anos_inicio;
    for (const FichaEstab& estab : ficha.estabs) {
      Estabelecimento novo;
      novo.codigo = static_cast<int>(empresa.estabs.size()) + 1;
      novo.apelido = estab.apelido;
      novo.cnpj = FormatarCNPJ(raiz, novo.codigo);
      novo.inscr_estadual = NumeroComMascara(aleatorio, MascaraDoEstado(estab.uf));
      novo.nire = fmt::format("{}2{:08}", estab.municipio / 100000, aleatorio.Entre(0, 99999999));
      novo.cnae = ficha.cnae;
      novo.endereco = {estab.tipo_logradouro, estab.logradouro, estab.numero, estab.complemento,
                       estab.bairro,          estab.municipio,  estab.uf};
      // The head office opens with the company, each branch a couple of years later.
      novo.inicio = {fundacao + (novo.codigo - 1) * 2, static_cast<int>(aleatorio.Entre(1, 12)), 1};
      empresa.estabs.push_back(std::move(novo));
    }
    for (const FichaSocio& ficha_socio : ficha.socios) {
      Socio socio;
      socio.codigo = static_cast<int>(empresa.socios.size()) + 1;
      socio.nome = ficha_socio.nome;
      socio.cpf = inscricoes_.NovoCPF();
      socio.cotas = ficha_socio.cotas;
      socio.inicio = {ano_ + ficha_socio.anos_inicio, 2, 1};
      socio.fim = ficha_socio.anos_fim == kAtivo ? Dia{2100, 12, 31}
                                                 : Dia{ano_ + ficha_socio.anos_fim, 6, 30};
      empresa.socios.push_back(std::move(socio));
    }
    empresa.socio_responsavel = 1;
    empresas_.push_back(std::move(empresa));
  }
}

void Gerador::GravarEmpresas() {
  for (const Contador& contador : contadores_) {
    gravador_.Inserir("CONTADOR", {{"CODIGOCONT", contador.codigo},
                                   {"TIPOINSCR", contador.tipo_inscr},
                                   {"INSCRFEDERAL", contador.inscr},
                                   {"NOMECONT", contador.nome},
                                   {"DDDFONE", contador.ddd},
                                   {"NUMEROFONE", contador.fone},
                                   {"RAMAL", contador.ramal},
                                   {"NUMEROFAX", contador.fax},
                                   {"EMAIL", contador.email}});
  }
  for (const Empresa& empresa : empresas_) {
    gravador_.Inserir("EMPRESA",
                      {{"CODIGOEMPRESA", empresa.codigo}, {"NOMEEMPRESA", empresa.nome}});
    for (const Estabelecimento& estab : empresa.estabs) {
      const Endereco& endereco = estab.endereco;
      gravador_.Inserir("ESTAB", {{"CODIGOEMPRESA", empresa.codigo},
                                  {"CODIGOESTAB", estab.codigo},
                                  {"APELIDOESTAB", estab.apelido},
                                  {"TIPOINSCR", 2},
                                  {"INSCRFEDERAL", estab.cnpj},
                                  {"INSCRESTAD", estab.inscr_estadual},
                                  {"NUMEROREGIST", estab.nire},
                                  {"CODIGOATIVESTAD", estab.cnae},
                                  {"CODIGOTIPOLOGRAD", endereco.tipo_logradouro},
                                  {"ENDERECOESTAB", endereco.logradouro},
                                  {"NUMENDERESTAB", endereco.numero},
                                  {"COMPLENDERESTAB", endereco.complemento},
                                  {"BAIRROENDERESTAB", endereco.bairro},
                                  {"CODIGOMUNIC", endereco.municipio},
                                  {"SIGLAESTADO", endereco.uf},
                                  // The capital is read from the first establishment only.
                                  {"VALORNOMINALCOTAS",
                                   Valor(estab.codigo == 1 ? empresa.valor_nominal_cota : 0)},
                                  {"DATAINICIOATIV", estab.inicio.Texto()},
                                  {"DATAENCERATIV", nullptr}});
    }
    for (const Socio& socio : empresa.socios) {
      gravador_.Inserir("SOCIO", {{"CODIGOEMPRESA", empresa.codigo},
                                  {"CODIGOSOCIO", socio.codigo},
                                  {"NOMESOCIO", socio.nome},
                                  {"INSCRFEDERAL", socio.cpf},
                                  {"QUANTCOTAS", socio.cotas},
                                  {"DATAINICIOSOCIO", socio.inicio.Texto()},
                                  {"DATAFIMSOCIO", socio.fim.Texto()}});
    }
    gravador_.Inserir("CFGEMPRESAGEM", {{"CODIGOEMPRESA", empresa.codigo},
                                        {"CONTADORRESPPREENCHFEDERAL", empresa.contador},
                                        {"SOCIORESPCNPJ", empresa.socio_responsavel}});
    GravarContratoSocial(empresa);
  }
  // Companies 1 and 2 are processed together.
  for (const int codigo : {1, 2}) {
    gravador_.Inserir("GRUPOEMPRESA", {{"CODIGOGRUPOPROC", 1}, {"CODIGOEMPRESAPROC", codigo}});
  }
}

// The founding articles, then, for company 1, the way-out of a partner the year before and a
// capital increase inside the main year (so that the statement shows the changed capital).
void Gerador::GravarContratoSocial(const Empresa& empresa) {
  struct Versao {
    Dia data;
    std::vector<int64_t> cotas;  // per partner, in partner order
  };
  std::vector<Versao> versoes;
  std::vector<int64_t> fundacao;
  for (const Socio& socio : empresa.socios) fundacao.push_back(socio.cotas);
  if (empresa.codigo == 1) {
    fundacao = {40000, 40000, 20000};
    versoes.push_back({empresa.socios[0].inicio, fundacao});
    versoes.push_back({{ano_ - 1, 6, 30}, {60000, 40000, 0}});
    versoes.push_back({{ano_, 6, 15}, {90000, 60000, 0}});
  } else {
    versoes.push_back({empresa.socios[0].inicio, fundacao});
  }
  for (const Versao& versao : versoes) {
    gravador_.Inserir("CONTRATOSOCIAL",
                      {{"CODIGOEMPRESA", empresa.codigo}, {"DATACONTRATO", versao.data.Texto()}});
    for (size_t i = 0; i < empresa.socios.size(); ++i) {
      if (versao.cotas[i] == 0) continue;
      gravador_.Inserir("CONTRSOCIALSOCIO", {{"CODIGOEMPRESA", empresa.codigo},
                                             {"DATACONTRATO", versao.data.Texto()},
                                             {"CODIGOSOCIO", empresa.socios[i].codigo},
                                             {"QUANTCOTAS", versao.cotas[i]}});
    }
  }
}

void Gerador::GravarTabelasGerais() {
  // Thresholds of the individual return: below both, a beneficiary need not be declared.
  for (const int ano : {ano_ - 1, ano_}) {
    const bool limites_novos = ano >= 2024;
    gravador_.Inserir(
        "RENDIMENTOANUAL",
        {{"ANO", AnoBase(ano)},
         {"LIMITETRIBUTAVEL", Valor(limites_novos ? Reais(33888) : Reais(28559, 70))},
         {"LIMITEISENTOTRIBEXCLUSIVA", Valor(limites_novos ? Reais(200000) : Reais(60000))}});
  }

  struct TipoContrato {
    int codigo;
    const char* descricao;
    int tipo;
  };
  constexpr TipoContrato kTipos[] = {
      {1, "Empregado", 1},  {2, "Empregado por prazo determinado", 2},
      {3, "Aprendiz", 3},   {4, "Diretor não empregado", 4},
      {5, "Estagiário", 5}, {8, "Sócio com pró-labore", 8},
  };
  for (const TipoContrato& tipo : kTipos) {
    gravador_.Inserir("TIPOCONTRATO", {{"CODIGOTIPOCONTR", tipo.codigo},
                                       {"DESCRTIPOCONTR", tipo.descricao},
                                       {"TIPOCONTR", tipo.tipo}});
  }

  struct Evento {
    int codigo;
    const char* descricao;
    const char* estrutura;
    int tipo;
  };
  constexpr Evento kEventos[] = {
      {1, "Salário", "01.01.01.01", 1},
      {30, "13º salário", "01.03.01.01", 1},
      {101, "INSS", "02.01.01.01", 2},
      {102, "IRRF", "02.02.01.01", 2},
      {801, "FGTS do mês", "98.01.01", 3},
      {807, "Multa rescisória do FGTS", "98.01.07", 3},
      {802, "FGTS sobre aviso prévio indenizado", "98.01.02", 3},
      {850, "Aviso prévio indenizado", "05.08.01", 1},
      {990, "Total da remuneração", "99.02.01.02.015", 9},
  };
  for (const Evento& evento : kEventos) {
    gravador_.Inserir("EVENTO", {{"CODIGOEVENTO", evento.codigo},
                                 {"DESCREVENTO", evento.descricao},
                                 {"CODIGOESTRUT", evento.estrutura},
                                 {"TIPOEVENTO", evento.tipo}});
  }
}

// Rural producers of the state guide, registered with the state's mask.
void Gerador::GravarProdutoresRurais() {
  Aleatorio aleatorio(Semente(2));
  constexpr int kMunicipiosRS[] = {4311403, 4307807, 4316808, 4322608, 4305108, 4302105};
  int codigo = 0;
  for (const int municipio : kMunicipiosRS) {
    produtores_rurais_.push_back(NumeroComMascara(aleatorio, MascaraDoEstado("RS")));
    gravador_.Inserir("PESSOA", {{"CODIGOPESSOA", ++codigo},
                                 {"NOMEPESSOA", NomeCompleto(nomes_)},
                                 {"INSCRPROD", produtores_rurais_.back()},
                                 {"CODIGOMUNIC", municipio},
                                 {"SIGLAESTADO", "RS"}});
  }
}

}  // namespace nrw::demo
