// Pieces of the demo-data generator shared by its files: the random source, money in cents,
// calendar days, registration numbers, taxes, the row writer and the generated world. The
// generator (Gerador) owns the world and borrows the connection for one run.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "demo/demo_data.h"
#include "nrw/variant.h"
#include "nrwhost/database.h"

namespace nrw::demo {

//! splitmix64: tiny, and the same sequence on every platform for a given seed.
class Aleatorio {
 public:
  explicit Aleatorio(uint64_t semente) : estado_(semente) {}
  uint64_t Proximo();
  //! Uniform in [minimo, maximo].
  int64_t Entre(int64_t minimo, int64_t maximo);
  bool Chance(int por_cento) { return Entre(1, 100) <= por_cento; }
  template <class Lista>
  const auto& Escolher(const Lista& itens) {
    return itens[static_cast<size_t>(Entre(0, static_cast<int64_t>(std::size(itens)) - 1))];
  }

 private:
  uint64_t estado_;
};

//! Seed of an independent stream for one subject (a contract and year, a table), so that data
//! added for one subject never shifts another's.
uint64_t Misturar(uint64_t semente, uint64_t a, uint64_t b = 0, uint64_t c = 0);

using Centavos = int64_t;
constexpr Centavos Reais(int64_t reais, int64_t centavos = 0) { return reais * 100 + centavos; }
//! valor * numerador / denominador, rounded half up (amounts here are never negative).
Centavos Proporcao(Centavos valor, int64_t numerador, int64_t denominador);
inline Centavos Percentual(Centavos valor, int64_t pontos_base) {
  return Proporcao(valor, pontos_base, 10000);
}
//! The decimal value written to the database: the only place where cents become a fraction.
Variant Valor(Centavos valor);

struct Dia {
  int ano = 0;
  int mes = 0;
  int dia = 0;
  std::string Texto() const;  //!< 'yyyy-mm-dd'
  friend auto operator<=>(const Dia&, const Dia&) = default;
};
int DiasNoMes(int ano, int mes);
Dia UltimoDiaDoMes(int ano, int mes);
//! A base year as the schema keeps it: the first day of the year.
std::string AnoBase(int ano);

//! CPF "000.000.000-00" from its first nine digits; CNPJ "00.000.000/0000-00" from the eight
//! digits of its root and the branch number.
std::string FormatarCPF(std::string_view nove_digitos);
std::string FormatarCNPJ(std::string_view raiz, int filial);
//! CEI "00.000.00000/00" from its first eleven digits.
std::string FormatarCEI(std::string_view onze_digitos);

//! Hands out registration numbers that never repeat within one database.
class Inscricoes {
 public:
  explicit Inscricoes(uint64_t semente) : aleatorio_(semente) {}
  std::string NovoCPF();
  //! Eight digits; the branches of one company share it.
  std::string NovaRaizCNPJ();
  std::string NovoCEI();

 private:
  std::string Digitos(int quantos);
  Aleatorio aleatorio_;
  std::set<std::string> usados_;
};

enum class Sexo { kFeminino, kMasculino };
std::string PrimeiroNome(Aleatorio& aleatorio, Sexo sexo);
std::string Sobrenome(Aleatorio& aleatorio);
//! First name and two surnames.
std::string NomeCompleto(Aleatorio& aleatorio);
std::string NomeCompleto(Aleatorio& aleatorio, Sexo sexo);
std::string UltimoSobrenome(std::string_view nome);

// Federal taxes of a competence (year, month), with the tables in force on that date.
constexpr Centavos kDeducaoDependente = Reais(189, 59);
//! Employee's social security, progressive by bracket.
Centavos InssEmpregado(Centavos base, int ano, int mes);
//! Directors, partners and self-employed: 11% up to the ceiling.
Centavos InssContribuinteIndividual(Centavos base, int ano, int mes);
struct Deducoes {
  Centavos inss = 0;
  Centavos dependentes = 0;
  Centavos pensao = 0;
  Centavos prev_privada = 0;
};
struct Retencao {
  Centavos imposto = 0;
  //! The simplified monthly discount when it gave less tax than the legal deductions.
  Centavos desconto_simplificado = 0;
};
Retencao IrrfMensal(Centavos bruto, const Deducoes& deducoes, int ano, int mes,
                    bool simplificado_permitido = true);
//! Profit sharing: its own yearly table, taxed apart from everything else.
Centavos IrrfPlr(Centavos valor, int ano, int mes);
//! Income received cumulatively: the monthly table times the number of months (in tenths).
Centavos IrrfRra(Centavos base, int meses_decimos, int ano, int mes);
//! Top of the exempt bracket of the monthly table (also the monthly exempt share of retirees
//! over 65).
Centavos LimiteIsencaoMensal(int ano, int mes);

//! One column value of a row to insert.
struct Coluna {
  const char* nome;
  Variant valor;
};

//! Inserts rows in batches: the rows of a table are held back and written a few hundred at a time
//! by one multi-row INSERT (a server round trip per batch, not per row), in the order given.
//! Descarregar writes what is held back; nothing may read the tables before it.
class Gravador {
 public:
  explicit Gravador(TnConnection& connection);
  ~Gravador();
  void Inserir(const char* tabela, std::initializer_list<Coluna> colunas) {
    Inserir(tabela, colunas.begin(), colunas.size());
  }
  void Inserir(const char* tabela, const std::vector<Coluna>& colunas) {
    Inserir(tabela, colunas.data(), colunas.size());
  }
  void Descarregar();

 private:
  struct Lote;
  void Inserir(const char* tabela, const Coluna* colunas, size_t quantas);
  void Gravar(Lote& lote);
  TnConnection& connection_;
  //! One batch per table, in the order of first use.
  std::vector<std::unique_ptr<Lote>> lotes_;
  std::unordered_map<std::string, Lote*> por_tabela_;
};

// The special situations of the fixed roster, each one there so that a report block has data.
enum class Caso : uint32_t {
  kSocio = 1u << 0,                 //!< partner with quotas and pro-labore
  kDoisCodigos = 1u << 1,           //!< 0561 and 0588 in the main year
  kPlr = 1u << 2,                   //!< 0561 and 3562
  kSoPlr = 1u << 3,                 //!< left the year before; only 3562 in the main year
  kRra = 1u << 4,                   //!< two lawsuits received cumulatively
  kPensao = 1u << 5,                //!< pays alimony
  kIsentoDetalhado = 1u << 6,       //!< exempt income itemised in INFORMERENDIMENTOISENTO
  kIsentoDescrito = 1u << 7,        //!< one described exempt item in DIRFREG2
  kIsentoSo13 = 1u << 8,            //!< exempt amount only in month 13
  kAbono = 1u << 9,                 //!< sells ten vacation days
  kDiarias = 1u << 10,              //!< travel allowances
  kMedicoResidente = 1u << 11,      //!< resident physician's grant
  kVoluntarioCopa = 1u << 12,       //!< sports-event volunteer benefits
  kAposentado65 = 1u << 13,         //!< retiree over 65
  kPlanoDuasOperadoras = 1u << 14,  //!< health and dental plans with dependents
  kPlanoUmaOperadora = 1u << 15,    //!< one plan, holder reimbursements
  kPlanoDependente = 1u << 16,      //!< one plan with one dependent
  kDespesaMedica = 1u << 17,        //!< medical expenses listed
  kOutroRendimento = 1u << 18,      //!< other income, described
  kScp = 1u << 19,                  //!< partner of a silent partnership
  kPrevPrivada = 1u << 20,          //!< private pension plan
  kTransferido = 1u << 21,          //!< moves to establishment 2 in July of the main year
  kReadmitido = 1u << 22,           //!< left the year before, readmitted in February
  kOutrasInformacoes = 1u << 23,    //!< other-information text
};

//! A set of cases; a single case converts to a set.
struct Casos {
  uint32_t bits = 0;
  constexpr Casos() = default;
  constexpr Casos(Caso caso) : bits(static_cast<uint32_t>(caso)) {}
  constexpr bool Tem(Caso caso) const { return (bits & static_cast<uint32_t>(caso)) != 0; }
};
constexpr Casos operator|(Casos a, Casos b) {
  Casos soma;
  soma.bits = a.bits | b.bits;
  return soma;
}

//! A yearly column of the beneficiary's main record filled for one person.
enum class ColunaAnual {
  kNenhuma,
  kLucroDivid,
  kPagoSocioPequenaEmpresa,
  kInvalidez,
  kValorOutros,
  kJurosCapital,
  kEmprestimos
};

struct ItemIsento {
  const char* descricao;
  Centavos valor;
};
//! Exempt items of the kIsentoDetalhado beneficiary; OUTROSRENDISENTO is their sum.
inline constexpr std::array<ItemIsento, 2> kIsentosDetalhados = {{
    {"Auxílio-creche", Reais(3600)},
    {"Bolsa de estudos - pós-graduação", Reais(4800)},
}};
inline constexpr ItemIsento kIsentoDescrito = {"Indenização por acidente de trabalho", Reais(4500)};

struct Endereco {
  int tipo_logradouro = 1;
  std::string logradouro;
  std::string numero;
  std::string complemento;
  std::string bairro;
  int municipio = 0;
  std::string uf;
};

struct Estabelecimento {
  int codigo = 0;
  std::string apelido;
  std::string cnpj;
  std::string inscr_estadual;
  std::string nire;
  std::string cnae;
  Endereco endereco;
  Dia inicio;
};

struct Socio {
  int codigo = 0;
  std::string nome;
  std::string cpf;
  int64_t cotas = 0;
  Dia inicio;
  Dia fim;
};

struct Empresa {
  int codigo = 0;
  std::string nome;
  std::vector<Estabelecimento> estabs;
  std::vector<Socio> socios;
  Centavos valor_nominal_cota = 0;
  int contador = 0;
  int socio_responsavel = 0;
  //! False for the company whose main-year declaration has a declarant and no beneficiary.
  bool beneficiarios_no_ano = true;
};

struct Contador {
  int codigo = 0;
  int tipo_inscr = 1;
  std::string inscr;
  std::string nome;
  std::string ddd;
  std::string fone;
  std::string ramal;
  std::string fax;
  std::string email;
  //! The person who answers for the declarations the accountant fills in.
  std::string responsavel;
  std::string cpf_responsavel;
};

struct Pessoa {
  int codigo = 0;
  std::string nome;
  std::string cpf;
};

//! Where a person gets e-mail (FUNCPESSOA.EMAIL), under the reserved domain .example; null for the
//! few, chosen by their CPF, who have no address.
Variant EnderecoPessoa(const Pessoa& pessoa);
//! The address of a beneficiary that is not an employee (DIRFREGBENEFICIARIO.EMAIL): a third
//! party's own, a company's finance department's; null for a few.
Variant EnderecoBeneficiario(std::string_view nome, std::string_view inscricao, bool empresa);

struct Local {
  Dia desde;
  int estab = 1;
};

struct Contrato {
  int empresa = 0;
  int codigo = 0;
  size_t pessoa = 0;  //!< index into the generator's people
  int tipo_contrato = 1;
  bool diretor = false;
  Dia admissao;
  std::optional<Dia> demissao;
  char brevix = '1';
  std::vector<Local> locais;
  Centavos salario = 0;  //!< monthly, in the main year
  int dependentes = 0;
  Casos casos;
  int mes_ferias = 1;
  ColunaAnual coluna_anual = ColunaAnual::kNenhuma;
  Centavos valor_anual = 0;

  //! Establishment on a day (the latest transfer up to it).
  int EstabEm(const Dia& dia) const;
  //! Days worked in a month, on the 30-day commercial month.
  int DiasTrabalhados(int ano, int mes) const;
  //! The monthly salary of a year: the main year's, a raise less for every year before it.
  Centavos SalarioNoAno(int ano, int ano_principal) const;
};

struct Terceiro {
  int codigo = 0;
  int empresa = 0;
  std::string nome;
  std::string cpf;
  std::vector<int> codigos_retencao;
  Centavos valor_mensal = 0;
  uint16_t meses = 0;  //!< bit m-1 set: paid in month m
  bool so_ano_anterior = false;
};

struct OutraEmpresa {
  int empresa = 0;
  std::string nome;
  std::string cnpj;
  std::vector<int> codigos_retencao;
  Centavos valor_mensal = 0;
  uint16_t meses = 0;
  std::string outras_informacoes;
};

struct MesFolha {
  Centavos bruto = 0;
  Centavos inss = 0;
  Centavos irrf = 0;
  Centavos dependentes = 0;
  Centavos pensao = 0;
  Centavos prev_privada = 0;
  Centavos desconto_simplificado = 0;
  Centavos diarias = 0;
  Centavos indenizacao = 0;
  Centavos abono = 0;
  Centavos aposent65 = 0;
  Centavos medico_residente = 0;
  Centavos voluntario_copa = 0;
  bool Vazio() const {
    return bruto == 0 && diarias == 0 && indenizacao == 0 && abono == 0 && aposent65 == 0 &&
           medico_residente == 0 && voluntario_copa == 0;
  }
};

//! A contract's payroll of one year: months 1 to 12, 13 = thirteenth salary, and profit sharing.
struct FolhaAnual {
  std::array<MesFolha, 14> meses{};
  int mes_plr = 0;
  Centavos plr = 0;
  Centavos irrf_plr = 0;
};
FolhaAnual CalcularFolha(const Contrato& contrato, int ano, int ano_principal, uint64_t semente);

//! Generates the whole database; each group of tables is written by one file.
class Gerador {
 public:
  Gerador(TnConnection& connection, const OpcoesDemo& opcoes);
  void Gerar();

 private:
  // demo_data_empresas.cpp
  void GravarLocalidades();
  void MontarEmpresas();
  void GravarEmpresas();
  void GravarContratoSocial(const Empresa& empresa);
  void GravarTabelasGerais();
  void GravarProdutoresRurais();
  // demo_data_funcionarios.cpp
  void MontarFuncionarios();
  void MontarExtras();
  void GravarFuncionarios();
  void MontarTerceiros();
  // demo_data_dirf.cpp
  void GerarDeclaracao(int ano);
  // demo_data_complementos.cpp
  void GerarComplementos();
  void GerarPlanosSaude();
  void GerarPensoesERra();
  void GerarDespesasEIsentos();
  void GerarScp();
  void GerarOutrosRendimentos();
  // demo_data_calculo.cpp
  void GerarCalculoFolha();
  // demo_data_giab.cpp
  void GerarGuiaInformativa();
  //! Paid to self-employed providers (code 588) of the company in a month of the main year.
  Centavos AutonomosDoMes(int empresa, int mes) const;
  // demo_data_filial_usuarios.cpp
  void MontarFilialTemporaria();
  void GravarUsuarios();
  // demo_data_pessoa_juridica.cpp
  void GerarEmpregadorCei();

  const Contrato& ContratoCom(Caso caso) const;
  const Pessoa& PessoaDe(const Contrato& contrato) const { return pessoas_[contrato.pessoa]; }
  const Empresa& EmpresaDe(int codigo) const;
  FolhaAnual Folha(const Contrato& contrato, int ano) const;
  uint64_t Semente(uint64_t assunto) const { return Misturar(opcoes_.semente, assunto); }

  const OpcoesDemo opcoes_;
  const int ano_;
  Gravador gravador_;
  Inscricoes inscricoes_;
  Aleatorio nomes_;
  std::vector<Contador> contadores_;
  std::vector<Empresa> empresas_;
  std::vector<Pessoa> pessoas_;
  std::vector<Contrato> contratos_;
  std::vector<Terceiro> terceiros_;
  std::vector<OutraEmpresa> outras_empresas_;
  //! State registrations of the rural producers, as written in PESSOA.
  std::vector<std::string> produtores_rurais_;
};

}  // namespace nrw::demo
