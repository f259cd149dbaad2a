// Field maps of the declaration datasets that the data module leaves.
#include "rpt_payer_roster.h"

namespace payer_roster {

void TMapReg1::Fields(nrw::TnFieldBinder& bind) {
  bind("AnoBase", AnoBase);
  bind("CodigoEmpresa", CodigoEmpresa);
  bind("NomeEstab", NomeEstab);
}

void TMapReg2::Fields(nrw::TnFieldBinder& bind) {
  bind("AnoBase", AnoBase);
  bind("CodigoEmpresa", CodigoEmpresa);
  bind("TipoInscrBenef", TipoInscrBenef);
  bind("InscrFederalBenef", InscrFederalBenef);
  bind("CodigoRetencao", CodigoRetencao);
  bind("Aposentadoria", Aposentadoria);
  bind("Diarias", Diarias);
  bind("Invalidez", Invalidez);
  bind("Lucrodivid1996", Lucrodivid1996);
  bind("VlrPagoSocioPqEmp", VlrPagoSocioPqEmp);
  bind("Indenizacao", Indenizacao);
  bind("OutrosRendIsento", OutrosRendIsento);
  bind("Valor13", Valor13);
  bind("ValorOutros", ValorOutros);
  bind("JurosCapitalProprio", JurosCapitalProprio);
  bind("TipoInforme", TipoInforme);
  bind("ValorRendimento", ValorRendimento);
  bind("ValorRetido", ValorRetido);
}

void TMapReg2Det::Fields(nrw::TnFieldBinder& bind) {
  bind("ValorRetido", ValorRetido);
  bind("ValorRendimento", ValorRendimento);
  bind("CodigoRetencao", CodigoRetencao);
  bind("PIS", PIS);
  bind("COFINS", COFINS);
  bind("CSLL", CSLL);
}

}  // namespace payer_roster
