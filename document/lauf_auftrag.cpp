#include "document/lauf_auftrag.h"

#include <filesystem>

#include "document/dokument.h"
#include "model/regen.h"
#include "storage/projektdatei.h"

namespace t21 {

std::string Regendatei(const TM3Model& m, const std::string& datei) {
  namespace fs = std::filesystem;
  const fs::path f(datei);
  if (datei.empty() || f.is_absolute() || m.FileName.empty()) return datei;
  std::error_code ec;
  const fs::path projekt = fs::absolute(fs::path(m.FileName), ec);
  if (ec) return datei;
  return (projekt.parent_path() / f).lexically_normal().string();
}

class TLaufAuftrag::TWeiterleitung : public TLaufBeobachter {
 public:
  explicit TWeiterleitung(TLaufAuftrag& a) : FAuftrag(a) {}
  void Stand(const TLaufStand& stand) override {
    {
      std::lock_guard<std::mutex> l(FAuftrag.FMutex);
      FAuftrag.FStand = stand;
    }
    if (FAuftrag.BeiStand) FAuftrag.BeiStand(stand);
  }
  void Meldung(const std::string& text) override {
    if (FAuftrag.BeiMeldung) FAuftrag.BeiMeldung(text);
  }

 private:
  TLaufAuftrag& FAuftrag;
};

TLaufAuftrag::TLaufAuftrag(const TDokument& d, TDateTime start, TDateTime ende)
    : TLaufAuftrag(d.Model(), d.Revision(), start, ende) {}

TLaufAuftrag::TLaufAuftrag(const TM3Model& m, uint64_t revision, TDateTime start, TDateTime ende)
    : FKopie(std::make_unique<TM3Model>()), FRevision(revision), FStart(start), FEnde(ende) {
  // The copy goes through the project file's form, in memory: it shares
  // nothing with the project, which may be edited while the run goes on.
  ModellAusPaket(*FKopie, *ModellAlsPaket(m), m.FileName);
  FKopie->Modified = 0;
  // The copy's rain gauges read their files beside the project.
  for (int i = 0; i < FKopie->Count(); ++i)
    if (auto* r = dynamic_cast<TREG*>(TM3Model::ElementOf(FKopie->GetNode(i))))
      r->FileName = Regendatei(m, r->FileName);
}

TLaufAuftrag::~TLaufAuftrag() {
  Abbrechen();
  if (FThread.joinable()) FThread.join();
}

void TLaufAuftrag::Starte() {
  if (FThread.joinable() || FFertig) return;
  FLauf = std::make_unique<TSimulationsLauf>(*FKopie);
  FLauf->BeobachteElemente(FElemente);
  FLauf->SetzeBeobachtungsintervall(FIntervall);
  FLauf->SetzeAnimationselement(FAnimation);
  FThread = std::thread([this] { Lauf(); });
}

void TLaufAuftrag::Abbrechen() {
  FAbbruch = true;
  std::lock_guard<std::mutex> l(FMutex);
  if (FLauf) FLauf->Abbrechen();
}

void TLaufAuftrag::Lauf() {
  TWeiterleitung beobachter(*this);
  TSimulationsLauf& lauf = *FLauf;
  if (!FAbbruch && lauf.Vorbereiten(FStart, FEnde, &beobachter)) {
    if (FAbbruch) lauf.Abbrechen();  // a cancel while the run was being prepared
    while (!lauf.Schritte(1 << 16)) {
    }
  }
  lauf.Abschliessen();
  TLaufAuftragsErgebnis e{lauf.Resultat(), FRevision};
  {
    std::lock_guard<std::mutex> l(FMutex);
    FErgebnis = std::move(e);
  }
  FFertig = true;
  if (BeiEnde) BeiEnde();
}

std::optional<TLaufStand> TLaufAuftrag::LetzterStand() const {
  std::lock_guard<std::mutex> l(FMutex);
  return FStand;
}

TLaufAuftragsErgebnis TLaufAuftrag::Warte() {
  if (FThread.joinable()) FThread.join();
  std::lock_guard<std::mutex> l(FMutex);
  TLaufAuftragsErgebnis e = FErgebnis ? std::move(*FErgebnis) : TLaufAuftragsErgebnis{};
  FErgebnis.reset();
  return e;
}

}  // namespace t21
