// The fixed roster of employees (each special case on a named person), the generated extra
// employees, third parties and the other companies that the declaring companies pay.
#include <algorithm>

#include "demo/demo_data_internal.h"
#include "nrw/core.h"

namespace nrw::demo {
namespace {

// A date relative to the main base year.
struct DataRel {
  int anos;
  int mes;
  int dia;
  Dia Em(int ano_principal) const { return {ano_principal + anos, mes, dia}; }
};

struct FichaFuncionario {
  int empresa;
  int estab;
  const char* nome;
  int tipo_contrato;
  int salario_reais;
  DataRel admissao;
  std::optional<DataRel> demissao;
  int dependentes;
  char brevix;
  Casos casos;
  ColunaAnual coluna_anual = ColunaAnual::kNenhuma;
  int valor_anual_reais = 0;
};

constexpr int kEmpregado = 1;
constexpr int kPrazoDeterminado = 2;
constexpr int kAprendiz = 3;
constexpr int kDiretor = 4;
constexpr int kSocioProLabore = 8;
constexpr auto kAtivo = std::nullopt;

std::vector<FichaFuncionario> Roster() {
  using C = Caso;
  return {
      {1,
       1,
       "Roberto Carlos Schneider",
       kSocioProLabore,
       12000,
       {-14, 2, 1},
       kAtivo,
       2,
       '1',
       Casos(C::kSocio) | C::kOutroRendimento | C::kOutrasInformacoes,
       ColunaAnual::kLucroDivid,
       48000},
      {1,
       1,
       "Ana Paula Kunz",
       kEmpregado,
       4200,
       {-6, 5, 2},
       kAtivo,
       1,
       '1',
       Casos(C::kDoisCodigos) | C::kOutrasInformacoes},
      {1,
       1,
       "Márcio Luís Weber",
       kEmpregado,
       6800,
       {-11, 3, 1},
       kAtivo,
       2,
       '1',
       Casos(C::kPlr) | C::kPlanoDuasOperadoras | C::kDespesaMedica | C::kPrevPrivada |
           C::kOutroRendimento},
      {1,
       1,
       "Juliana Fachinetto",
       kEmpregado,
       3500,
       {-4, 8, 1},
       kAtivo,
       0,
       '1',
       Casos(C::kTransferido) | C::kAbono},
      {1,
       2,
       "Cláudio Rogério Heineck",
       kEmpregado,
       5200,
       {-9, 1, 10},
       kAtivo,
       2,
       '1',
       Casos(C::kRra) | C::kPensao},
      {1,
       3,
       "Fernanda Lopes Mallmann",
       kEmpregado,
       4800,
       {-3, 9, 1},
       kAtivo,
       1,
       '1',
       C::kIsentoDetalhado},
      {1, 3, "Gilberto Bersch", kEmpregado, 3900, {-7, 4, 1}, kAtivo, 0, '1', C::kIsentoDescrito},
      {1, 1, "Tatiane Rockenbach", kEmpregado, 3100, {-2, 2, 1}, kAtivo, 0, '2', {}},
      {1, 1, "Paulo Henrique Dalmoro", kEmpregado, 4500, {-5, 6, 1}, DataRel{0, 8, 15}, 1, '1', {}},
      {1, 2, "Luana Gerhardt", kEmpregado, 2600, {0, 3, 1}, kAtivo, 0, '0', {}},
      {1, 2, "Sérgio Eckert", kEmpregado, 3300, {-8, 10, 1}, kAtivo, 1, '1', C::kIsentoSo13},
      {1,
       1,
       "Vanessa Arenhart",
       kEmpregado,
       5600,
       {-6, 1, 15},
       kAtivo,
       0,
       '1',
       C::kDiarias,
       ColunaAnual::kValorOutros,
       350},
      {1, 1, "Jonas Ritter", kAprendiz, 1500, {-1, 2, 1}, kAtivo, 0, '1', {}},
      {1, 1, "Daiane Bohn", kEmpregado, 3800, {-3, 3, 1}, kAtivo, 1, '1', C::kOutroRendimento},
      {1,
       2,
       "Rafael Scherer",
       kEmpregado,
       4100,
       {-10, 7, 1},
       kAtivo,
       3,
       '1',
       {},
       ColunaAnual::kEmprestimos,
       1800},
      {1,
       3,
       "Cristiane Musskopf",
       kEmpregado,
       7200,
       {-12, 2, 1},
       kAtivo,
       1,
       '1',
       {},
       ColunaAnual::kInvalidez,
       3200},

      {2,
       1,
       "Eduardo Tomazzoni",
       kSocioProLabore,
       9000,
       {-9, 3, 1},
       kAtivo,
       1,
       '1',
       C::kSocio,
       ColunaAnual::kPagoSocioPequenaEmpresa,
       36000},
      {2,
       1,
       "Patrícia Zanella",
       kEmpregado,
       4400,
       {-6, 4, 1},
       DataRel{-1, 11, 30},
       0,
       '1',
       C::kSoPlr},
      {2, 1, "Leandro Bortolini", kEmpregado, 3200, {-4, 6, 1}, kAtivo, 0, '1', C::kVoluntarioCopa},
      {2, 2, "Simone Caregnato", kEmpregado, 2900, {-8, 3, 1}, kAtivo, 0, '1', C::kAposentado65},
      {2, 1, "Rodrigo Pasqualotto", kEmpregado, 3700, {-9, 3, 2}, kAtivo, 1, '1', C::kReadmitido},
      {2, 2, "Aline De Carli", kEmpregado, 3400, {-5, 1, 5}, kAtivo, 1, '1', C::kAbono},
      {2,
       1,
       "Marcelo Fontana",
       kEmpregado,
       6100,
       {-8, 9, 1},
       kAtivo,
       2,
       '1',
       C::kPlanoUmaOperadora},
      {2, 2, "Bruna Sartori", kEmpregado, 2700, {-2, 11, 1}, kAtivo, 0, '0', {}},
      {2, 1, "Thiago Andreazza", kPrazoDeterminado, 2500, {0, 1, 10}, DataRel{0, 7, 9}, 0, '1', {}},
      {2, 2, "Camila Dal Bó", kEmpregado, 3000, {-3, 5, 1}, kAtivo, 0, '0', {}},

      {3,
       1,
       "Henrique Medeiros da Silva",
       kDiretor,
       18000,
       {-5, 1, 1},
       kAtivo,
       2,
       '1',
       Casos(C::kScp) | C::kOutrasInformacoes},
      {3, 1, "Larissa Koerich", kEmpregado, 2200, {-1, 3, 1}, kAtivo, 0, '1', C::kMedicoResidente},
      {3,
       1,
       "Gustavo Vieira Espíndola",
       kEmpregado,
       8400,
       {-4, 2, 1},
       kAtivo,
       1,
       '1',
       Casos(C::kPlanoDependente) | C::kDespesaMedica},
      {3, 1, "Mariana Schmitz", kEmpregado, 5300, {-5, 8, 1}, kAtivo, 1, '1', {}},
      {3, 1, "Felipe Cardoso Pereira", kEmpregado, 4700, {-2, 4, 1}, kAtivo, 0, '1', {}},
      {3, 1, "Renata Goulart", kEmpregado, 3600, {-6, 10, 1}, kAtivo, 2, '1', {}},
      {3, 1, "Diego Martins Souza", kEmpregado, 2900, {-1, 6, 1}, kAtivo, 0, '1', {}},
      {3, 1, "Priscila Ramos Nunes", kEmpregado, 2400, {-3, 2, 1}, kAtivo, 0, '1', {}},
      {3, 1, "Anderson Luiz Bittencourt", kEmpregado, 6600, {-5, 5, 1}, kAtivo, 3, '1', {}},

      {4, 1, "Cleiton Kowalski", kEmpregado, 3900, {-8, 2, 1}, kAtivo, 2, '1', {}},
      {4, 1, "Jéssica Wisniewski", kEmpregado, 2800, {-3, 7, 1}, kAtivo, 0, '1', {}},
      {4, 1, "Marcos Antônio Pereira", kEmpregado, 4300, {-11, 1, 5}, kAtivo, 1, '1', {}},
      {4, 1, "Elaine Cristina Zaions", kEmpregado, 3500, {-5, 9, 1}, kAtivo, 1, '1', {}},
      {4, 1, "Wagner Luiz Stroparo", kEmpregado, 5100, {-6, 3, 1}, kAtivo, 2, '1', {}},
  };
}

constexpr uint16_t kAnoTodo = 0x0FFF;
constexpr uint16_t Meses(std::initializer_list<int> meses) {
  uint16_t bits = 0;
  for (const int mes : meses) bits |= static_cast<uint16_t>(1u << (mes - 1));
  return bits;
}

struct FichaTerceiro {
  int empresa;
  const char* nome;
  std::vector<int> codigos;
  int valor_mensal_reais;
  uint16_t meses;
  bool so_ano_anterior;
};

// Third parties: with tax withheld, without tax and below the limits (left out by the rules
// that skip such beneficiaries), one with the same amount on two codes, one only in the year
// before the main one.
std::vector<FichaTerceiro> Terceiros() {
  return {
      {1, "Alberto Nardi", {588}, 6500, kAnoTodo, false},
      {2, "Sandra Bianchi", {588, 3208}, 4000, kAnoTodo, false},
      {1, "Jorge Henz", {588}, 600, Meses({3, 4}), false},
      {3, "Neusa Klein", {588}, 450, Meses({5, 6, 7}), false},
      {1, "Osmar Finkler", {3208}, 4200, kAnoTodo, false},
      {2, "Lúcia Trevisan", {588}, 3800, Meses({2, 5, 8, 11}), false},
      {3, "Ivo Wommer", {588}, 2900, Meses({1, 2, 3, 4, 5, 6}), false},
      {1, "Rosane Diel", {588}, 3100, Meses({4, 5, 6, 7, 8, 9}), true},
  };
}

std::vector<OutraEmpresa> OutrasEmpresas() {
  return {
      {1, "Brilho Serviços de Limpeza Ltda", "", {1708}, Reais(8200), kAnoTodo, ""},
      {1,
       "Vigilância Sul Segurança Patrimonial Ltda",
       "",
       {1708, 5952},
       Reais(14500),
       kAnoTodo,
       "Serviços de vigilância patrimonial - contrato 045/2021."},
      {2,
       "TecnoSoft Consultoria em Informática Ltda",
       "",
       {5960},
       Reais(6300),
       Meses({1, 3, 5, 7, 9, 11}),
       ""},
      {3,
       "Manutenção Industrial Forte Ltda",
       "",
       {5979},
       Reais(5400),
       Meses({2, 4, 6, 8, 10, 12}),
       ""},
      {3,
       "Prado & Associados Assessoria Jurídica",
       "",
       {5987},
       Reais(7000),
       kAnoTodo,
       "Assessoria jurídica trabalhista."},
  };
}

Centavos ArredondarReais(Centavos valor) { return (valor + 50) / 100 * 100; }

}  // namespace

int Contrato::EstabEm(const Dia& dia) const {
  int estab = locais.front().estab;
  for (const Local& local : locais) {
    if (local.desde <= dia) estab = local.estab;
  }
  return estab;
}

int Contrato::DiasTrabalhados(int ano, int mes) const {
  const Dia primeiro{ano, mes, 1};
  const Dia ultimo = UltimoDiaDoMes(ano, mes);
  if (admissao > ultimo || (demissao && *demissao < primeiro)) return 0;
  const int inicio = admissao >= primeiro ? std::min(admissao.dia, 30) : 1;
  const int fim = demissao && *demissao <= ultimo ? std::min(demissao->dia, 30) : 30;
  return std::max(fim - inicio + 1, 0);
}

Centavos Contrato::SalarioNoAno(int ano, int ano_principal) const {
  Centavos valor = salario;
  for (int anterior = ano_principal; anterior > ano; --anterior) {
    valor = ArredondarReais(Proporcao(valor, 100, 106));
  }
  return valor;
}

void Gerador::MontarFuncionarios() {
  Aleatorio aleatorio(Semente(3));
  std::vector<int> proximo_codigo(empresas_.size() + 1, 1);
  auto novo_contrato = [&](const FichaFuncionario& ficha, size_t pessoa, Dia admissao,
                           std::optional<Dia> demissao) {
    Contrato contrato;
    contrato.empresa = ficha.empresa;
    contrato.codigo = proximo_codigo[ficha.empresa]++;
    contrato.pessoa = pessoa;
    contrato.tipo_contrato = ficha.tipo_contrato;
    contrato.diretor = ficha.tipo_contrato == kDiretor || ficha.tipo_contrato == kSocioProLabore;
    contrato.admissao = admissao;
    contrato.demissao = demissao;
    contrato.brevix = ficha.brevix;
    contrato.locais = {{admissao, ficha.estab}};
    contrato.salario = Reais(ficha.salario_reais);
    contrato.dependentes = ficha.dependentes;
    contrato.casos = ficha.casos;
    contrato.mes_ferias = static_cast<int>(aleatorio.Entre(1, 12));
    contrato.coluna_anual = ficha.coluna_anual;
    contrato.valor_anual = Reais(ficha.valor_anual_reais);
    return contrato;
  };

  for (const FichaFuncionario& ficha : Roster()) {
    Pessoa pessoa;
    pessoa.codigo = static_cast<int>(pessoas_.size()) + 1;
    pessoa.nome = ficha.nome;
    // A partner on the payroll is the same person, with the same CPF, as in the partner list.
    for (const Socio& socio : EmpresaDe(ficha.empresa).socios) {
      if (ficha.casos.Tem(Caso::kSocio) && socio.nome == pessoa.nome) pessoa.cpf = socio.cpf;
    }
    if (pessoa.cpf.empty()) pessoa.cpf = inscricoes_.NovoCPF();
    pessoas_.push_back(pessoa);
    const size_t indice = pessoas_.size() - 1;

    const Dia admissao = ficha.admissao.Em(ano_);
    std::optional<Dia> demissao;
    if (ficha.demissao) demissao = ficha.demissao->Em(ano_);
    if (ficha.casos.Tem(Caso::kReadmitido)) {
      contratos_.push_back(novo_contrato(ficha, indice, admissao, Dia{ano_ - 1, 5, 31}));
      contratos_.push_back(novo_contrato(ficha, indice, Dia{ano_, 2, 1}, std::nullopt));
      continue;
    }
    Contrato contrato = novo_contrato(ficha, indice, admissao, demissao);
    if (ficha.casos.Tem(Caso::kTransferido)) contrato.locais.push_back({{ano_, 7, 1}, 2});
    contratos_.push_back(std::move(contrato));
  }
}

// Extra employees for timing runs, over the companies that declare beneficiaries.
void Gerador::MontarExtras() {
  Aleatorio aleatorio(Semente(4));
  std::vector<int> proximo_codigo(empresas_.size() + 1, 1001);
  std::vector<const Empresa*> declarantes;
  for (const Empresa& empresa : empresas_) {
    if (empresa.beneficiarios_no_ano) declarantes.push_back(&empresa);
  }
  for (int i = 0; i < opcoes_.beneficiarios_extras; ++i) {
    const Empresa& empresa = *declarantes[static_cast<size_t>(i) % declarantes.size()];
    pessoas_.push_back(
        {static_cast<int>(pessoas_.size()) + 1, NomeCompleto(aleatorio), inscricoes_.NovoCPF()});
    Contrato contrato;
    contrato.empresa = empresa.codigo;
    contrato.codigo = proximo_codigo[empresa.codigo]++;
    contrato.pessoa = pessoas_.size() - 1;
    // Admitted after the company was founded and before the main year.
    const int fundacao = empresa.socios.front().inicio.ano;
    contrato.admissao = {static_cast<int>(aleatorio.Entre(fundacao + 1, ano_ - 1)),
                         static_cast<int>(aleatorio.Entre(1, 12)), 1};
    const int estab =
        static_cast<int>(aleatorio.Entre(1, static_cast<int64_t>(empresa.estabs.size())));
    contrato.locais = {{contrato.admissao, estab}};
    contrato.brevix = aleatorio.Chance(90) ? '1' : '0';
    contrato.salario = Reais(aleatorio.Entre(141, 900) * 10);
    contrato.dependentes = aleatorio.Chance(60) ? 0 : static_cast<int>(aleatorio.Entre(1, 3));
    contrato.mes_ferias = static_cast<int>(aleatorio.Entre(1, 12));
    contratos_.push_back(std::move(contrato));
  }
}

void Gerador::GravarFuncionarios() {
  for (const Pessoa& pessoa : pessoas_) {
    gravador_.Inserir("FUNCPESSOA", {{"CODIGOFUNCPESSOA", pessoa.codigo},
                                     {"NOMEFUNC", pessoa.nome},
                                     {"CPFFUNC", pessoa.cpf},
                                     {"EMAIL", EnderecoPessoa(pessoa)}});
  }
  for (const Contrato& contrato : contratos_) {
    gravador_.Inserir(
        "FUNCCONTRATO",
        {{"CODIGOEMPRESA", contrato.empresa},
         {"CODIGOFUNCCONTR", contrato.codigo},
         {"CODIGOFUNCPESSOA", PessoaDe(contrato).codigo},
         {"CODIGOTIPOCONTR", contrato.tipo_contrato},
         {"DATAADM", contrato.admissao.Texto()},
         {"DATADEM", contrato.demissao ? Variant(contrato.demissao->Texto()) : Variant(nullptr)},
         {"UTILIZABREVIX", std::string(1, contrato.brevix)}});
    for (const Local& local : contrato.locais) {
      gravador_.Inserir("FUNCLOCAL", {{"CODIGOEMPRESA", contrato.empresa},
                                      {"CODIGOFUNCCONTR", contrato.codigo},
                                      {"DATATRANSF", local.desde.Texto()},
                                      {"CODIGOESTAB", local.estab}});
    }
  }
  for (const Terceiro& terceiro : terceiros_) {
    gravador_.Inserir(
        "TERCEIRO",
        {{"CODIGOTERC", terceiro.codigo}, {"NOMETERC", terceiro.nome}, {"CPFTERC", terceiro.cpf}});
  }
}

void Gerador::MontarTerceiros() {
  for (const FichaTerceiro& ficha : Terceiros()) {
    Terceiro terceiro;
    terceiro.codigo = static_cast<int>(terceiros_.size()) + 1;
    terceiro.empresa = ficha.empresa;
    terceiro.nome = ficha.nome;
    terceiro.cpf = inscricoes_.NovoCPF();
    terceiro.codigos_retencao = ficha.codigos;
    terceiro.valor_mensal = Reais(ficha.valor_mensal_reais);
    terceiro.meses = ficha.meses;
    terceiro.so_ano_anterior = ficha.so_ano_anterior;
    terceiros_.push_back(std::move(terceiro));
  }
  outras_empresas_ = OutrasEmpresas();
  for (OutraEmpresa& outra : outras_empresas_) {
    outra.cnpj = FormatarCNPJ(inscricoes_.NovaRaizCNPJ(), 1);
  }
}

const Contrato& Gerador::ContratoCom(Caso caso) const {
  for (const Contrato& contrato : contratos_) {
    if (contrato.casos.Tem(caso)) return contrato;
  }
  throw Exception("Dados de demonstração: nenhum contrato com o caso pedido.");
}

const Empresa& Gerador::EmpresaDe(int codigo) const {
  return empresas_.at(static_cast<size_t>(codigo) - 1);
}

}  // namespace nrw::demo
