#include "app/werkzeuge/werkzeuge.h"

#include "app/werkzeuge/ganglinienfenster.h"
#include "app/werkzeuge/regiofenster.h"
#include "app/werkzeuge/upnfenster.h"
#include "app/werkzeuge/vorgabenfenster.h"
#include "document/dokument.h"

namespace t21 {

void RegioRechnerZeigen(QWidget* eltern, const TDokument& dok, TDialoge& dialoge) {
  TFormRegio f(dok.Model().Netz().Spenden, dialoge, eltern);
  f.exec();
}

void UpnRechnerZeigen(TDialoge& dialoge) {
  TCalculator::Instanz(dialoge).Zeigen();
}

bool GanglinieNeu(QWidget* eltern, TDokument& dok, TGanglinienArt art, TDialoge& dialoge) {
  TFormGanglinien f(dok, art, dialoge, eltern);
  return f.exec() == QDialog::Accepted;
}

bool StandardvorgabenZeigen(QWidget* eltern, TDokument& dok, const std::vector<TDokument*>& andere,
                            TDialoge& dialoge) {
  TFormDefaultValues f(dok.VorgabenTabellen(), dialoge, eltern);
  if (f.exec() != QDialog::Accepted) return false;
  for (TDokument* d : andere)
    if (d && d != &dok) VorgabenUebertragen(dok.Tabellen(), d->VorgabenTabellen());
  return true;
}

}  // namespace t21
