#include "cli/regio.h"

#include "model/format.h"
#include "model/project.h"
#include "tools/regio.h"

namespace t21 {

int Regio(const std::string& flaeche, const std::string& laenge, const std::string& hoehe,
          const std::string& cn, Format f, std::ostream& out, std::ostream& err) {
  const TRegioErgebnis e = Regionalisierung({flaeche, laenge, hoehe, cn},
                                            StandardReferenzListen().Kostra.Eintraege.front());
  if (!e.Ok) {
    err << "t21: " << e.Meldung << "\n";
    return 2;
  }
  switch (f) {
    case Format::Text:
      out << "Hq1,pnat = " << RegioText(e) << " l/(s*km2)\n"
          << "Fließzeit tc = " << ZahlText(e.tc, 2, false)
          << " min, Regenspende r = " << ZahlText(e.r, 2, false)
          << " l/(s*ha), Niederschlag P = " << ZahlText(e.P, 2, false)
          << " mm, Rückhalt S = " << ZahlText(e.S, 2, false)
          << " mm, effektiver Niederschlag Q = " << ZahlText(e.Q, 3, false) << " mm\n";
      break;
    case Format::Tsv:
      out << "Hq1pnat\ttc\tr\tP\tS\tQ\n"
          << RegioText(e) << "\t" << ZahlText(e.tc, 2, false) << "\t" << ZahlText(e.r, 2, false)
          << "\t" << ZahlText(e.P, 2, false) << "\t" << ZahlText(e.S, 2, false) << "\t"
          << ZahlText(e.Q, 3, false) << "\n";
      break;
    case Format::Json:
      out << "{\"Hq1pnat\": " << JsonZahl(e.Hq1pnat) << ", \"tc\": " << JsonZahl(e.tc)
          << ", \"r\": " << JsonZahl(e.r) << ", \"P\": " << JsonZahl(e.P)
          << ", \"S\": " << JsonZahl(e.S) << ", \"Q\": " << JsonZahl(e.Q) << "}\n";
      break;
  }
  return 0;
}

}  // namespace t21
