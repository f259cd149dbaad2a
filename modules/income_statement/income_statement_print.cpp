// Printing of one beneficiary: the copies of the statement body, the income received
// cumulatively and the complementary information, with the page-fit check and the running head.
#include <algorithm>

#include "income_statement_sections.h"
#include "income_statement_sql.h"
#include "nrw/format.h"
#include "nrw/guards.h"
#include "rpt_income_statement.h"

namespace income_statement {

using nrw::CDS;
using nrw::FormatFloat;
using nrw::Variant;

namespace {

constexpr const char* kMoeda = "#,##0.00";
constexpr const char* kMoedaRS = "R$ ###,##0.00";
const std::string kCinco(5, ' ');

//! Lines of a text as a string list counts them: a final line break opens no new line.
std::vector<std::string> Linhas(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' || text[i] == '\r') {
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void Acrescentar(std::string& text, const std::string& line) {
  if (!text.empty()) text += '\n';
  text += line;
}

//! Rows of the view that carry the key on the leading index fields, by a key search and a walk
//! over the rows that follow it.
int ContarChave(nrw::TnClientDataSet& dataset, const std::vector<Variant>& key) {
  if (!dataset.FindKey(key)) return 0;
  const std::vector<std::string> names = nrw::SplitString(dataset.IndexFieldNames(), ';');
  std::vector<nrw::TField*> fields;
  for (size_t i = 0; i < key.size(); ++i)
    fields.push_back(&dataset.FieldByName(nrw::Trim(names[i])));
  std::vector<std::string> texts;
  for (const nrw::TField* field : fields) texts.push_back(field->AsString());
  int count = 0;
  for (; !dataset.Eof(); dataset.Next()) {
    for (size_t i = 0; i < fields.size(); ++i) {
      if (fields[i]->AsString() != texts[i]) return count;
    }
    ++count;
  }
  return count;
}

}  // namespace

void TRptIncomeStatement::PreencherTipoPessoa() {
  const bool fisica = Query().Fields(ixTipoInscr).AsInteger() == 1;
  Set("pTipoPessoa", fisica ? "Física" : "Jurídica");
  Set("pDescrInscr", fisica ? "CPF" : "CNPJ");
  Set("pDescrNome", fisica ? "Nome" : "Nome Empresarial");
}

void TRptIncomeStatement::AbrirEmpresa() {
  nrw::TnClientDataSet& query = Query();
  const std::vector<Variant> empresa{query.Fields(ixCodigoEmpresa).Value()};
  if (!curEmpresa) {
    curEmpresa = nrw::ExecutarSQL(kSqlEmpresa, empresa, true, true, -1, "", nullptr, true);
  } else {
    nrw::RefreshSQL(CDS(curEmpresa), empresa, true);
  }
  nrw::TnClientDataSet& emp = CDS(curEmpresa);
  const std::vector<Variant> contador{emp.FieldByName("CONTADORRESPPREENCHFEDERAL").AsInteger()};
  if (!curResponsavelArq) {
    curResponsavelArq =
        nrw::ExecutarSQL(kSqlResponsavelArq, contador, false, true, 10, "", nullptr, true);
  } else {
    nrw::RefreshSQL(CDS(curResponsavelArq), contador, true);
  }
  Set("pNomeEmpresa", emp.FieldByName("NomeEmpresa").AsString());
  Set("pInscrFed", emp.FieldByName("TIPOINSCR").AsInteger() <= 2
                       ? emp.FieldByName("InscrFederal").AsString()
                       : emp.FieldByName("INSCRFEDERALSOCIO").AsString());
  Set("R20", CDS(curResponsavelArq).FieldByName("NOMECONT").AsString());
  Set("pNomeFunc", query.Fields(ixQueryNomeBenef).AsString());
}

void TRptIncomeStatement::ImprimirVia() {
  nrw::TnClientDataSet& query = Query();
  const std::vector<Variant> chave = ChaveBeneficiario();
  nrw::TnClientDataSet& reg2 = CDS(curDirfReg2);
  const nrw::RangeGuard range_reg2(reg2, chave);
  Set("pPag", "0");
  FNomeBenef =
      "Beneficiário:  " + chave[2].AsString() + " " + query.Fields(ixQueryNomeBenef).AsString();

  TnVia via;
  via.BaseIsenta = query.Fields(ixOutrosRendIsento).AsFloat();
  bool primeiro = true;
  for (reg2.First(); !reg2.Eof(); reg2.Next()) {
    LerValoresCodigo(via, primeiro);
    primeiro = false;
    if (FExibeCotaCapital == nrw::TnNaoSim::nsSim) AcrescentarOutrasInformacoes(via);
    AcrescentarIsentosCodigo(via);
  }
  SomarDividendosScp(via);
  // The beneficiary's exempt detail rows stay in range until the end of the copy.
  const nrw::RangeGuard range_isentos(CDS(curInfRendIsentoOutro), chave);
  PreencherOutrosRendIsentos(via);

  RepPrintSection(kSecaoComprovante);
  ImprimirRRA();
  for (const char* name : {"pDemais", "pCPF", "pNome", "pValor", "pValor13"}) Set(name, "");
  AbrirValorCotas(via);
  FListou = false;
  ImprimirInformacoesComplementares(via);
  if (!FListou) RepPrintSection(kSecaoSemInformacoes);
  RepPrintSection(kSecaoIntervalo);
  RepPrintSection(kSecaoResponsavel);
}

void TRptIncomeStatement::LerValoresCodigo(TnVia& via, bool primeiro) {
  nrw::TnClientDataSet& reg2 = CDS(curDirfReg2);
  const int64_t codigo = reg2.FieldByName("CodigoRetencao").AsInteger();
  const double rendimento = reg2.FieldByName("ValorRendimento").AsFloat();
  if (codigo == 3562) {
    via.PlrBruto = rendimento;
    via.PlrLiquido = rendimento - reg2.FieldByName("ValorRetido").AsFloat() -
                     reg2.FieldByName("ValorPensaoAlim").AsFloat();
  }
  // The title is the code of the highest amount; ties keep the earlier row.
  const double valor =
      rendimento + (codigo != 3562 ? reg2.FieldByName("ValorOutros").AsFloat() : 0.0);
  if (primeiro || valor > via.MaiorValor) {
    Set("pTitulo", DescricaoCodigoRetencao(codigo));
    via.MaiorValor = valor;
  }
}

void TRptIncomeStatement::AcrescentarOutrasInformacoes(TnVia& via) {
  nrw::TnClientDataSet& reg2 = CDS(curDirfReg2);
  nrw::TField& outras = reg2.FieldByName("OutrasInformacoes");
  if (!outras.IsNull()) {
    if (!via.OutrasInformacoes.empty()) via.OutrasInformacoes += '\n';
    via.OutrasInformacoes += outras.AsString() + "  ";
    ++via.Itens;
  }
  if (!via.OutrasInformacoes.empty()) {
    via.OutrasInformacoes += '\n';
    return;
  }
  const std::vector<Variant> chave = ChaveBeneficiario();
  nrw::TnClientDataSet& cotas = CDS(curCotasSocio);
  const nrw::RangeGuard range_cotas(cotas, {chave[0], chave[2].AsString()});
  if (!cotas.IsEmpty() && cotas.FieldByName("QUANTCOTAS").AsFloat() > 0) {
    via.OutrasInformacoes += nrw::ObterMensagemCotasSocio(
        cotas.FieldByName("QUANTCOTAS").AsString(), cotas.FieldByName("CONTA").AsFloat());
  }
}

void TRptIncomeStatement::AcrescentarIsentosCodigo(TnVia& via) {
  nrw::TnClientDataSet& reg2 = CDS(curDirfReg2);
  nrw::TnClientDataSet& isentos = CDS(curInfRendIsentoOutro);
  nrw::TnClientDataSet& abono = CDS(curInfRendIsentoOutroAbonoPecuniario);
  const std::vector<Variant> chave = ChaveBeneficiario();
  const std::vector<Variant> chave_codigo{chave[0], chave[1], chave[2],
                                          Variant(reg2.FieldByName("CodigoRetencao").AsInteger())};
  const nrw::RangeGuard range_isentos(isentos, chave_codigo);
  const nrw::RangeGuard range_abono(abono, chave_codigo);
  const auto item = [&via](const std::string& descricao, double valor) {
    Acrescentar(via.ListaIsentos, descricao + " |R$ " + FormatFloat(kMoeda, valor));
    ++via.Itens;
  };
  nrw::TField& descr_isento = reg2.FieldByName("DescrOutRendIsento");
  if (!descr_isento.IsNull() && isentos.IsEmpty()) {
    item(descr_isento.AsString(), reg2.FieldByName("Outrosrendisento").AsFloat());
  }
  if (reg2.FieldByName("AbonoPecuniario").AsFloat() > 0 && !abono.IsEmpty()) {
    const double valor_abono = abono.FieldByName("Valor").AsFloat();
    item("Abono Pecuniário", valor_abono);
    via.BaseIsenta += valor_abono;
  }
  const double medico = reg2.FieldByName("ValorMedicoResidente").AsFloat();
  if (medico > 0 && isentos.IsEmpty()) {
    item("Bolsa de estudo recebida por médico-residente", medico);
    via.BaseIsenta += medico;
  }
  const double copa = reg2.FieldByName("ValorVoluntarioCopa").AsFloat();
  if (copa > 0 && isentos.IsEmpty()) {
    item("Benefícios indiretos e reembolso de despesas - voluntário da copa", copa);
    via.BaseIsenta += copa;
  }
}

void TRptIncomeStatement::SomarDividendosScp(TnVia& via) {
  nrw::TnClientDataSet& socio = CDS(FCurDirfSocio);
  const nrw::RangeGuard range_socio(socio, ChaveBeneficiario());
  if (socio.IsEmpty()) return;
  ++via.Itens;
  via.RotuloScp = "Dividendos pagos ao sócio de SCP|";
  for (socio.First(); !socio.Eof(); socio.Next()) {
    via.DividendosScp += FMapDirfSocio->Valor->AsFloat();
  }
}

void TRptIncomeStatement::PreencherOutrosRendIsentos(const TnVia& via) {
  if (!CDS(curInfRendIsentoOutro).IsEmpty() || via.Itens > 1) {
    Set("RDescrOutRendIsento", "Diversos como detalhado abaixo");
  } else {
    const std::string texto = via.ListaIsentos + via.RotuloScp;
    Set("RDescrOutRendIsento", texto.substr(0, texto.find('|')));
  }
  Set("RValorOutRendIsento", FormatFloat(kMoeda, via.BaseIsenta + via.DividendosScp));
}

// R1 nature, R2 months ("#0.0"), R3 lawsuit number; R61 taxable income, R62 judicial expenses,
// R63 official social security, R64 alimony, R65 tax withheld; R66 the exempt part of retirees
// over 65 plus the serious-illness exemption.
void TRptIncomeStatement::ImprimirRRA() {
  nrw::TnClientDataSet& rra = CDS(curRRA);
  const nrw::RangeGuard range(rra, ChaveBeneficiario());
  rra.First();
  int numero = 0;
  do {
    Set("R0", std::to_string(++numero));
    if (rra.Eof()) {
      for (const char* name : {"R1", "R2", "R3", "R61", "R62", "R63", "R64", "R65", "R66"}) {
        Set(name, "");
      }
    } else {
      Set("R1", FMapRRA->NaturezaRRA->AsString());
      Set("R2", FormatFloat("#0.0", FMapRRA->QtdeMeses->AsFloat()));
      Set("R3", FMapRRA->NumProcessoRRA->AsString());
      Set("R61", FormatFloat(kMoeda, FMapRRA->RendTributavel->AsFloat()));
      Set("R62", FormatFloat(kMoeda, FMapRRA->DespesaAcaoJud->AsFloat()));
      Set("R63", FormatFloat(kMoeda, FMapRRA->PrevidenciaOficial->AsFloat()));
      Set("R64", FormatFloat(kMoeda, FMapRRA->PensaoAlimenticia->AsFloat()));
      Set("R65", FormatFloat(kMoeda, FMapRRA->ImpostoRetido->AsFloat()));
      Set("R66", FormatFloat(kMoeda, FMapRRA->ParcAposentadoAcimaSessentaAno->AsFloat() +
                                         FMapRRA->RendIsentoMolestia->AsFloat()));
    }
    if (!Report().DelphiCanPrintSection({{kSecaoRRA, 1}})) Report().SetCSLIsPageEnd(true);
    RepPrintSection(kSecaoRRA);
    if (!rra.Eof()) rra.Next();
  } while (!rra.Eof());
}

void TRptIncomeStatement::AbrirValorCotas(TnVia& via) {
  nrw::TnClientDataSet& query = Query();
  const nrw::TDateTime ano = query.Fields(ixAnoBase).AsDateTime();
  const std::vector<Variant> valores{query.Fields(ixCodigoEmpresa).Value(),
                                     query.Fields(ixQueryInscrBenef).AsString(),
                                     nrw::StartOfTheYear(ano), nrw::EndOfTheYear(ano)};
  if (!curValorCotas) {
    curValorCotas = nrw::ExecutarSQL(kSqlValorCotas, valores, true, true, 1, "", nullptr, true);
  } else {
    nrw::RefreshSQL(CDS(curValorCotas), valores, true);
  }
  const double valor = CDS(curValorCotas).FieldByName("ValorCotas").AsFloat();
  if (valor > 0)
    via.TextoCapital = "Alteração Contratual, Valor Capital R$ " + FormatFloat(kMoeda, valor);
}

void TRptIncomeStatement::ImprimirInformacoesComplementares(TnVia& via) {
  VerificarEspacoPagina(via);
  const std::vector<Variant> chave = ChaveBeneficiario();
  const nrw::RangeGuard range_func(CDS(curInfRendFunc), chave);
  const nrw::RangeGuard range_depend(CDS(curRendRecebAcumDepend), chave);
  const nrw::RangeGuard range_evento(CDS(curInfRendEvento), chave);
  RepPrintSection(kSecaoInformacoesComplementares);
  RepPrintSection(kSecaoIntervalo);
  ImprimirDemaisInformacoes(via);
  ImprimirCodigosRetencao(via);
  ImprimirPlanosSaude();
  ImprimirDespesasMedicas();
  ImprimirRendimentosIsentos(via);
  ImprimirPensaoAlimenticia(curInfRendFunc);
  ImprimirPensaoAlimenticia(curRendRecebAcumDepend);
}

void TRptIncomeStatement::VerificarEspacoPagina(const TnVia& via) {
  const std::vector<Variant> chave = ChaveBeneficiario();
  const int e = ContarChave(CDS(curInfRendEvento), chave);
  const int x = ContarChave(CDS(curInfRendIsentoOutro), chave);
  const int a = ContarChave(CDS(curInfRendIsentoOutroAbonoPecuniario), chave);
  const int r = ContarChave(CDS(curDirfReg2), chave);
  const int f = ContarChave(CDS(curInfRendFunc), chave);
  const int d = ContarChave(CDS(curRendRecebAcumDepend), chave);
  const int o = ContarChave(CDS(FCurOperadoraPlanoSaude), chave);
  // Dependents of every operator of the beneficiary (the lines of the health-plan tables).
  int p = 0;
  {
    nrw::TnClientDataSet& planos = CDS(FCurPlanoSaude);
    const nrw::RangeGuard range(planos, chave);
    for (planos.First(); !planos.Eof(); planos.Next()) {
      if (!FMapPlanoSaude->Nome->IsNull()) ++p;
    }
  }
  const int isentos = static_cast<int>(Linhas(via.ListaIsentos).size());
  const int m12 = e + x + a + r + isentos;
  int m13 =
      (via.TextoCapital.empty() ? 0 : 1) + static_cast<int>(Linhas(via.OutrasInformacoes).size());
  if (m13 > 0) ++m13;
  m13 += o;
  m13 += (f != 0) + (d != 0) + (e != 0) + (d > 1);
  if (x > 0 || isentos > 0) ++m13;
  const int m16 = p + f + (f != 0) + d + (d != 0);
  // The closing block is asked for too: when it would not fit after the complementary
  // information, both start the next page, so that Quadro 8 never stands alone on a page.
  if (!Report().DelphiCanPrintSection({{kSecaoDetalhe, m12},
                                       {kSecaoTexto, m13},
                                       {kSecaoTabela, m16},
                                       {kSecaoInformacoesComplementares, 1},
                                       {kSecaoIntervalo, 3},
                                       {kSecaoResponsavel, 1}})) {
    Report().SetCSLIsPageEnd(true);
  }
}

void TRptIncomeStatement::ImprimirDemaisInformacoes(TnVia& via) {
  nrw::TnClientDataSet& total = CDS(curTotalRend);
  const nrw::RangeGuard range_total(total, ChaveBeneficiario());
  const std::vector<std::string> outras = Linhas(via.OutrasInformacoes);
  bool cabecalho = false;
  if (!total.IsEmpty() || !via.TextoCapital.empty() || !outras.empty()) {
    Set("pDemais", "Demais Informações");
    RepPrintSection(kSecaoTexto);
    cabecalho = true;
    for (total.First(); !total.Eof(); total.Next()) {
      if (total.Fields(ixCampoInforme).AsString() != "5") continue;
      const double valor = nrw::StrToFloatDef(total.Fields(ixValorTotalRend).AsString(), 0);
      Set("pDemais",
          kCinco + total.Fields(ixDescRend).AsString() + " R$ " + FormatFloat(kMoeda, valor));
      RepPrintSection(kSecaoTexto);
    }
    std::vector<std::string> linhas;
    if (!via.TextoCapital.empty()) linhas.push_back(via.TextoCapital);
    linhas.insert(linhas.end(), outras.begin(), outras.end());
    for (const std::string& linha : linhas) {
      Set("pDemais", kCinco + linha);
      RepPrintSection(kSecaoTexto);
    }
    FListou = true;
  }
  nrw::TnClientDataSet& socio = CDS(FCurDirfSocio);
  const nrw::RangeGuard range_socio(socio, ChaveBeneficiario());
  if (!socio.IsEmpty()) {
    if (!cabecalho) {
      Set("pDemais", "Demais Informações");
      RepPrintSection(kSecaoTexto);
    }
    FListou = true;
    for (socio.First(); !socio.Eof(); socio.Next()) {
      Set("R0", nrw::Format("O valor de R$ %0:s, referente a lucros e dividendos recebidos pelo "
                            "Sócio da Sociedade em Conta de Participação, CNPJ n° %1:s, está "
                            "contido no montante informado na linha 7 - OUTROS - do Quadro 4. "
                            "Rendimentos isentos e não tributáveis.",
                            {FormatFloat(kMoeda, FMapDirfSocio->Valor->AsFloat()),
                             FMapDirfSocio->InscrFederalDirfSCP->AsString()}));
      RepPrintSection(kSecaoSocioScp);
    }
  }
  Set("pDesc", "");
  Set("pValorDesc", "");
}

void TRptIncomeStatement::ImprimirCodigosRetencao(const TnVia& via) {
  nrw::TnClientDataSet& reg2 = CDS(curDirfReg2);
  const int linhas = reg2.RecordCount();
  reg2.First();
  if (linhas <= 1 && via.PlrLiquido == 0) return;
  if (linhas > 1 || reg2.FieldByName("CodigoRetencao").AsInteger() != 3562) {
    Set("pDemais",
        "Os rendimentos seguintes estão informados na linha 01, quadro 3 e/ou linha 03, quadro "
        "05:");
    RepPrintSection(kSecaoTexto);
  }
  const auto linha_codigo = [this](int64_t codigo, double valor) {
    Set("pDesc", kCinco + DescricaoCodigoRetencao(codigo));
    Set("pValorDesc", FormatFloat(kMoedaRS, valor));
    RepPrintSection(kSecaoDetalhe);
  };
  for (reg2.First(); !reg2.Eof(); reg2.Next()) {
    const int64_t codigo = reg2.FieldByName("CodigoRetencao").AsInteger();
    if (codigo == 3562) continue;
    linha_codigo(codigo, reg2.FieldByName("ValorRendimento").AsFloat());
    FListou = true;
  }
  if (via.PlrLiquido > 0) {
    const std::string frase =
        "O total informado na linha 03 do Quadro 5 já inclui o valor total pago a título de PLR "
        "correspondente a R$ " +
        FormatFloat(kMoeda, via.PlrLiquido);
    if (FListou) {
      linha_codigo(3562, via.PlrBruto);
      Set("pDemais", " ");
      RepPrintSection(kSecaoTexto);
      Set("pDemais", frase);
    } else {
      Set("pDemais", frase + ".");
    }
    RepPrintSection(kSecaoTexto);
    // The sentence is complementary information: the copy must not go on to say it has none.
    FListou = true;
  }
}

void TRptIncomeStatement::ImprimirPlanosSaude() {
  nrw::TnClientDataSet& operadoras = CDS(FCurOperadoraPlanoSaude);
  const nrw::RangeGuard range_operadoras(operadoras, ChaveBeneficiario());
  if (operadoras.IsEmpty()) return;
  Set("pDemais", "Pagamentos a planos de saúde:");
  RepPrintSection(kSecaoTexto);
  RepPrintSection(kSecaoAberturaTabela);
  // The holder's reimbursements of one operator are listed once, however many rows carry them.
  std::string ultima_operadora;
  const TMapOperadoraPlanoSaude& op = *FMapOperadoraPlanoSaude;
  for (operadoras.First(); !operadoras.Eof(); operadoras.Next()) {
    FListou = true;
    Set("pDemais",
        "Operadora: " + op.InscriFederalOper->AsString() + " - " + op.NomeOperadora->AsString());
    RepPrintSection(kSecaoTexto);
    Set("pDemais", "Valor pago no ano referente ao titular: R$ " +
                       FormatFloat(kMoeda, op.ValorPagoTitular->AsFloat()));
    RepPrintSection(kSecaoTexto);
    const nrw::RangeGuard range_planos(
        CDS(FCurPlanoSaude), {op.CodigoEmpresa->Value(), op.AnoBase->Value(),
                              op.InscrFederalBenef->Value(), op.InscriFederalOper->Value()});
    ImprimirDependentesPlano();
    ImprimirReembolsosTitular(ultima_operadora);
    ImprimirReembolsosDependentes();
  }
}

void TRptIncomeStatement::ImprimirDependentesPlano() {
  nrw::TnClientDataSet& planos = CDS(FCurPlanoSaude);
  const TMapPlanoSaude& plano = *FMapPlanoSaude;
  bool primeiro = true;
  for (planos.First(); !planos.Eof(); planos.Next()) {
    if (plano.Nome->IsNull()) continue;
    if (primeiro) {
      Set("pDemais", "Valor pago no ano referente aos dependentes:");
      RepPrintSection(kSecaoTexto);
      Set("pCPF", "CPF");
      Set("pNome", "Nome");
      Set("pValor", "");
      Set("pValor13", "");
      Set("RValor3", "Valor");
      RepPrintSection(kSecaoTabela);
      primeiro = false;
    }
    const std::string cpf = plano.CPFDependente->AsString();
    Set("pCPF", nrw::LimparStrToInteger(cpf).empty() ? "" : cpf);
    Set("pNome", plano.Nome->AsString());
    Set("RValor3", FormatFloat(kMoeda, plano.ValorPagoAno->AsFloat()));
    RepPrintSection(kSecaoTabela);
  }
}

void TRptIncomeStatement::ImprimirReembolsosTitular(std::string& ultima_operadora) {
  nrw::TnClientDataSet& planos = CDS(FCurPlanoSaude);
  const TMapPlanoSaude& plano = *FMapPlanoSaude;
  bool primeiro = true;
  for (planos.First(); !planos.Eof(); planos.Next()) {
    const double ano = plano.ValorPagoReembolsoAno->AsFloat();
    const double anteriores = plano.ValorPagoReembolsoAnoAnt->AsFloat();
    const std::string chave_operadora =
        plano.InscriFederalOper->AsString() + " - " + plano.NomeOperadora->AsString();
    if (!(ano > 0 || anteriores > 0) || chave_operadora == ultima_operadora) continue;
    if (primeiro) {
      RepPrintSection(kSecaoAberturaTabela);
      Set("pDemais", "Reembolsos do plano de saúde referentes ao titular");
      RepPrintSection(kSecaoTexto);
      ImprimirTitulosReembolso();
      primeiro = false;
    }
    ImprimirLinhaOperadora(ano, anteriores);
    ultima_operadora = chave_operadora;
  }
}

void TRptIncomeStatement::ImprimirReembolsosDependentes() {
  nrw::TnClientDataSet& planos = CDS(FCurPlanoSaude);
  const TMapPlanoSaude& plano = *FMapPlanoSaude;
  // The last dependent is remembered within the operator only: under each operator a dependent
  // gets its own heading and column heads.
  bool primeiro = true;
  std::string ultimo_dependente;
  for (planos.First(); !planos.Eof(); planos.Next()) {
    if (plano.Nome->IsNull()) continue;
    if (primeiro) {
      RepPrintSection(kSecaoAberturaTabela);
      Set("pDemais", "Reembolsos do plano de saúde referentes aos dependentes");
      RepPrintSection(kSecaoTexto);
      primeiro = false;
    }
    const std::string dependente = plano.CPFDependente->AsString() + " - " + plano.Nome->AsString();
    if (dependente != ultimo_dependente) {
      Set("pDemais", "Dependente: " + dependente);
      RepPrintSection(kSecaoTexto);
      ImprimirTitulosReembolso();
      ultimo_dependente = dependente;
    }
    ImprimirLinhaOperadora(plano.ValorPagoReembolsoAnoDep->AsFloat(),
                           plano.ValorPagoReembolsoAnoAntDep->AsFloat());
  }
}

void TRptIncomeStatement::ImprimirTitulosReembolso() {
  Set("pCPF", "CPF/CNPJ");
  Set("pNome", "Nome/Nome Empresarial");
  Set("pValor", "");
  Set("pValor13", "Valor ano Calendário");
  Set("RValor3", "Valor anos Anteriores");
  RepPrintSection(kSecaoTabela);
}

void TRptIncomeStatement::ImprimirLinhaOperadora(double ano, double anteriores) {
  Set("pCPF", FMapPlanoSaude->InscriFederalOper->AsString());
  Set("pNome", FMapPlanoSaude->NomeOperadora->AsString());
  Set("pValor", "");
  Set("pValor13", FormatFloat(kMoeda, ano));
  Set("RValor3", FormatFloat(kMoeda, anteriores));
  RepPrintSection(kSecaoTabela);
}

void TRptIncomeStatement::ImprimirDespesasMedicas() {
  nrw::TnClientDataSet& eventos = CDS(curInfRendEvento);
  if (!eventos.IsEmpty()) {
    Set("pDemais", "Despesas Médicas e Odontológicas");
    RepPrintSection(kSecaoTexto);
  }
  for (eventos.First(); !eventos.Eof(); eventos.Next()) {
    Set("pDesc", kCinco + eventos.FieldByName("DescrDespesa").AsString());
    Set("pValorDesc", FormatFloat(kMoedaRS, eventos.FieldByName("ValorDespesa").AsFloat()));
    RepPrintSection(kSecaoDetalhe);
    FListou = true;
  }
}

void TRptIncomeStatement::ImprimirRendimentosIsentos(TnVia& via) {
  nrw::TnClientDataSet& isentos = CDS(curInfRendIsentoOutro);
  for (isentos.First(); !isentos.Eof(); isentos.Next()) {
    Acrescentar(via.ListaIsentos,
                isentos.Fields(ixInfRendIsentoOoutDESCRICAO).AsString() + " |R$ " +
                    FormatFloat(kMoeda, isentos.Fields(ixInfRendIsentoOoutVALOR).AsFloat()));
    FListou = true;
  }
  Set("pDemais", "Rendimentos Isentos e Não Tributáveis (Campo 07)");
  const std::vector<std::string> linhas = Linhas(via.ListaIsentos);
  if (linhas.size() <= 1) return;
  RepPrintSection(kSecaoTexto);
  for (const std::string& linha : linhas) {
    const size_t barra = linha.find('|');
    Set("pDesc", kCinco + linha.substr(0, barra));
    Set("pValorDesc", barra == std::string::npos ? "" : linha.substr(barra + 1));
    RepPrintSection(kSecaoDetalhe);
  }
}

void TRptIncomeStatement::ImprimirPensaoAlimenticia(TDataSetRef& dataset) {
  nrw::TnClientDataSet& pensao = CDS(dataset);
  if (pensao.IsEmpty()) return;
  RepPrintSection(kSecaoAberturaTabela);
  Set("pCPF", "CPF");
  Set("pNome", "Nome");
  Set("pValor", "Normal");
  Set("pValor13", "13º Salário");
  Set("pDemais", "Beneficiários de pensão alimentícia:");
  Set("RValor3", "");
  RepPrintSection(kSecaoTexto);
  RepPrintSection(kSecaoTabela);
  for (pensao.First(); !pensao.Eof(); pensao.Next()) {
    const std::string cpf = pensao.FieldByName("CPF").AsString();
    Set("pCPF", nrw::LimparStrToInteger(cpf).empty() ? "" : cpf);
    Set("pNome", pensao.FieldByName("Nome").AsString());
    Set("pValor", FormatFloat(kMoeda, pensao.FieldByName("ValorNormal").AsFloat()));
    Set("pValor13", FormatFloat(kMoeda, pensao.FieldByName("Valor13").AsFloat()));
    RepPrintSection(kSecaoTabela);
    FListou = true;
  }
}

void TRptIncomeStatement::DoBeforeSection(int section) {
  if (section != kSecaoCabecalhoPagina) return;
  const int64_t pagina = nrw::StrToIntDef(RepParam("pPag"), 0) + 1;
  Set("pPag", std::to_string(pagina));
  const bool primeira = pagina <= 1;
  Set("pNomeBenef", primeira ? "" : FNomeBenef);
  RepObjProperty("Linhahorizontal", "Enabled", primeira ? "False" : "True");
}

}  // namespace income_statement
