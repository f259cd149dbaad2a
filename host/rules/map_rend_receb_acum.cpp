#include "nrw/dirf.h"

namespace nrw {

TnFpaMapDIRFRendRecebAcum::~TnFpaMapDIRFRendRecebAcum() = default;

void TnFpaMapDIRFRendRecebAcum::Fields(TnFieldBinder& bind) {
  bind("CodigoEmpresa", CodigoEmpresa);
  bind("AnoBase", AnoBase);
  bind("TipoInscrBenef", TipoInscrBenef);
  bind("InscrFederalBenef", InscrFederalBenef);
  bind("Seq", Seq);
  bind("NaturezaRRA", NaturezaRRA);
  bind("NumProcessoRRA", NumProcessoRRA);
  bind("QtdeMeses", QtdeMeses);
  bind("RendTributavel", RendTributavel);
  bind("DespesaAcaoJud", DespesaAcaoJud);
  bind("PrevidenciaOficial", PrevidenciaOficial);
  bind("PensaoAlimenticia", PensaoAlimenticia);
  bind("ImpostoRetido", ImpostoRetido);
  bind("ParcAposentadoAcimaSessentaAno", ParcAposentadoAcimaSessentaAno);
  bind("RendIsentoMolestia", RendIsentoMolestia);
}

}  // namespace nrw
