#include "model/elements.h"

namespace t21 {

std::string NeuerTypcode(std::string_view typ) {
  if (typ == "KEZ") return "KEM";
  if (typ == "RUE") return "RU";
  if (typ == "EBW") return "RUB";
  return std::string(typ);
}

std::unique_ptr<TElement> CreateHydElement(std::string_view typ) {
  const std::string t = NeuerTypcode(typ);
  if (t == "NET") return std::make_unique<TNET>();
  if (t == "KEM") return std::make_unique<TKEM>();
  if (t == "KES") return std::make_unique<TKES>();
  if (t == "KER") return std::make_unique<TKER>();
  if (t == "AEO") return std::make_unique<TAEO>();
  if (t == "AEK") return std::make_unique<TAEK>();
  if (t == "RU") return std::make_unique<TRU>();
  if (t == "RUB") return std::make_unique<TRUB>();
  if (t == "RKB") return std::make_unique<TRKB>();
  if (t == "OMA") return std::make_unique<TOMA>();
  if (t == "KLG") return std::make_unique<TKLG>();
  if (t == "EST") return std::make_unique<TEST>();
  if (t == "CON") return std::make_unique<TCON>();
  if (t == "REG") return std::make_unique<TREG>();
  if (t == "VFL") return std::make_unique<TVFL>();
  if (t == "VBE") return std::make_unique<TVBE>();
  if (t == "VMU") return std::make_unique<TVMU>();
  if (t == "VRI") return std::make_unique<TVRI>();
  if (t == "VSC") return std::make_unique<TVSC>();
  return nullptr;
}

std::string Typbezeichnung(std::string_view typ) {
  static constexpr std::pair<std::string_view, std::string_view> kHinweise[] = {
      {"NET", "geschlossenes Siedlungsgebiet"},
      {"KEM", "MW-Netz"},
      {"KES", "SW-Netz"},
      {"KER", "RW-Netz"},
      {"AEO", "natürliches Einzugsgebiet"},
      {"AEK", "AEV"},
      {"RU", "RÜ"},
      {"RUB", "RÜB /SK"},
      {"RKB", "RKB"},
      {"OMA", "ortspezifische Maßnahme"},
      {"KLG", "KLG"},
      {"EST", "Einleitung"},
      {"CON", "Connector"},
      {"REG", "Regenschreiber"},
      {"VFL", "Versickerungsfläche"},
      {"VBE", "Versickerungsbecken"},
      {"VMU", "Versickerungsmulde"},
      {"VRI", "Versickerungsrigole"},
      {"VSC", "Versickerungsschacht"},
  };
  const std::string t = NeuerTypcode(typ);
  for (const auto& [code, hinweis] : kHinweise)
    if (code == t) return std::string(hinweis);
  return {};
}

}  // namespace t21
