#include "app/formulare/elementdialog.h"

#include "app/basis/hilfe.h"
#include "app/formulare/formen.h"
#include "document/dokument.h"
#include "model/elements.h"
#include "model/network.h"

namespace t21 {

std::unique_ptr<TMusterForm> ErzeugeElementDialog(TDokument& dok, uint64_t id, TDialoge& dialoge,
                                                  QWidget* eltern) {
  const TElement* e = TM3Model::ElementOf(dok.Model().GetNodeById(id));
  if (!e) return nullptr;
  const std::string typ = e->Typ();
  std::unique_ptr<TMusterForm> f;
  if (typ == "NET")
    f = std::make_unique<TFormNET>(dok, id, dialoge, eltern);
  else if (typ == "KEM" || typ == "KES" || typ == "KER")
    f = std::make_unique<TFormKEZ>(dok, id, dialoge, eltern);
  else if (typ == "RU" || typ == "RUB" || typ == "RKB")
    f = std::make_unique<TFormEBW>(dok, id, dialoge, eltern);
  else if (typ == "KLG")
    f = std::make_unique<TFormKLG>(dok, id, dialoge, eltern);
  else if (typ == "OMA")
    f = std::make_unique<TFormOMA>(dok, id, dialoge, eltern);
  else if (typ == "EST")
    f = std::make_unique<TFormEST>(dok, id, dialoge, eltern);
  else if (typ == "CON")
    f = std::make_unique<TFormABS>(dok, id, dialoge, eltern);
  else if (typ == "REG")
    f = std::make_unique<TFormREG>(dok, id, dialoge, eltern);
  if (!f) return nullptr;
  f->Aufbauen();
  QObject::connect(f.get(), &TMusterForm::HilfeVerlangt, f.get(),
                   [w = f.get()](const QString& k) { ZeigeHilfe(w, k); });
  return f;
}

bool OeffneElementDialog(TDokument& dok, uint64_t id, TDialoge& dialoge, QWidget* eltern) {
  auto f = ErzeugeElementDialog(dok, id, dialoge, eltern);
  if (!f) return false;
  return f->exec() == QDialog::Accepted;
}

}  // namespace t21
