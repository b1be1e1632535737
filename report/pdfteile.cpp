#include "report/pdfteile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string_view>

namespace t21 {

namespace {

bool IstLeer(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}
bool IstTrenner(char c) {
  return c != '\0' && std::strchr("()<>[]{}/%", c) != nullptr;
}
bool IstGrenze(char c) {
  return IstLeer(c) || IstTrenner(c);
}
bool IstZiffer(char c) {
  return c >= '0' && c <= '9';
}

// One indirect object of a part: its text from Rumpf (after "n g obj") to
// Schluss (the keyword stream or endobj) is rewritten, the rest up to Ende
// (after endobj) is copied as it is.
struct TObjekt {
  qsizetype Rumpf = 0, Schluss = 0, Ende = 0;
  bool Strom = false;
};

// What the rewriting of a part's text replaces: object numbers, and the
// tags of embedded font subsets ("ABCDEF+" before the font's name).
struct TErsetzung {
  const std::map<int, int>* Nummern = nullptr;
  std::map<QByteArray, QByteArray>* Tags = nullptr;
  std::set<QByteArray>* BelegteTags = nullptr;
  bool Fehler = false;

  QByteArray Tag(const QByteArray& t) {
    if (auto it = Tags->find(t); it != Tags->end()) return it->second;
    QByteArray neu = t;
    while (BelegteTags->count(neu)) {
      // The next tag in the order of the alphabet, counted from the right.
      for (int i = 5; i >= 0; --i) {
        if (neu[i] < 'Z') {
          neu[i] = char(neu[i] + 1);
          break;
        }
        neu[i] = 'A';
      }
    }
    BelegteTags->insert(neu);
    (*Tags)[t] = neu;
    return neu;
  }
};

// The first place of `was` in [von, bis) of d; -1 if there is none.
qsizetype Finde(const QByteArray& d, qsizetype von, qsizetype bis, std::string_view was) {
  if (von < 0 || bis > d.size() || von >= bis) return -1;
  const std::string_view text(d.constData() + von, size_t(bis - von));
  const size_t k = text.find(was);
  return k == std::string_view::npos ? -1 : von + qsizetype(k);
}

// Reads an unsigned number at i (after white space); -1 if there is none.
long long Zahl(const QByteArray& d, qsizetype& i) {
  while (i < d.size() && IstLeer(d[i])) ++i;
  if (i >= d.size() || !IstZiffer(d[i])) return -1;
  long long v = 0;
  while (i < d.size() && IstZiffer(d[i])) {
    v = v * 10 + (d[i] - '0');
    if (v > (1LL << 40)) return -1;
    ++i;
  }
  return v;
}

// A reference "n g R" at i: its object number, and i after it; -1 if there
// is none.
int Verweis(const QByteArray& d, qsizetype& i) {
  qsizetype j = i;
  const long long n = Zahl(d, j);
  if (n < 0 || j >= d.size() || !IstLeer(d[j])) return -1;
  const long long g = Zahl(d, j);
  if (g < 0 || j >= d.size() || !IstLeer(d[j])) return -1;
  while (j < d.size() && IstLeer(d[j])) ++j;
  if (j >= d.size() || d[j] != 'R' || (j + 1 < d.size() && !IstGrenze(d[j + 1]))) return -1;
  i = j + 1;
  return n > 0x7fffffff ? -1 : int(n);
}

// Walks the text of an object from i to its first keyword stream or endobj
// outside strings and comments, and returns the keyword's position (-1 if
// there is none before e). With out, the text is copied there, rewritten by
// r.
qsizetype Durchlaufe(const QByteArray& d, qsizetype i, qsizetype e, QByteArray* out,
                     TErsetzung* r) {
  auto kopiere = [&](qsizetype von, qsizetype bis) {
    if (out) out->append(d.constData() + von, bis - von);
  };
  while (i < e) {
    const char c = d[i];
    if (c == '(') {
      const qsizetype von = i++;
      int tiefe = 1;
      while (i < e && tiefe > 0) {
        if (d[i] == '\\')
          ++i;
        else if (d[i] == '(')
          ++tiefe;
        else if (d[i] == ')')
          --tiefe;
        ++i;
      }
      kopiere(von, std::min(i, e));
    } else if (c == '<' && i + 1 < e && d[i + 1] == '<') {
      kopiere(i, i + 2);
      i += 2;
    } else if (c == '<') {
      const qsizetype von = i;
      while (i < e && d[i] != '>') ++i;
      kopiere(von, std::min(i + 1, e));
      ++i;
    } else if (c == '%') {
      const qsizetype von = i;
      while (i < e && d[i] != '\n' && d[i] != '\r') ++i;
      kopiere(von, i);
    } else if (c == '/') {
      qsizetype j = i + 1;
      while (j < e && !IstGrenze(d[j])) ++j;
      bool tag = r && r->Tags && j - i > 8 && d[i + 7] == '+';
      for (qsizetype k = i + 1; tag && k < i + 7; ++k) tag = d[k] >= 'A' && d[k] <= 'Z';
      if (tag && out) {
        out->append('/');
        out->append(r->Tag(d.mid(i + 1, 6)));
        kopiere(i + 7, j);
      } else {
        kopiere(i, j);
      }
      i = j;
    } else if (IstZiffer(c) && (i == 0 || IstGrenze(d[i - 1]))) {
      qsizetype j = i;
      const int n = Verweis(d, j);
      if (n >= 0 && j <= e) {
        if (out && r && r->Nummern) {
          auto it = r->Nummern->find(n);
          if (it == r->Nummern->end()) {
            r->Fehler = true;
            out->append("null");
          } else {
            out->append(QByteArray::number(it->second) + " 0 R");
          }
        } else {
          kopiere(i, j);
        }
        i = j;
      } else {
        j = i;
        while (j < e && !IstGrenze(d[j])) ++j;
        kopiere(i, j);
        i = j;
      }
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      qsizetype j = i;
      while (j < e && !IstGrenze(d[j])) ++j;
      const QByteArrayView wort(d.constData() + i, j - i);
      if (wort == "stream" || wort == "endobj") return i;
      kopiere(i, j);
      i = j;
    } else {
      kopiere(i, i + 1);
      ++i;
    }
  }
  return -1;
}

// The value of the key `name` in the text [von, bis) when it is a reference;
// -1 otherwise.
int VerweisAufSchluessel(const QByteArray& d, qsizetype von, qsizetype bis, const char* name) {
  const std::string schluessel = std::string("/") + name;
  for (qsizetype i = Finde(d, von, bis, schluessel); i >= 0; i = Finde(d, i + 1, bis, schluessel)) {
    qsizetype j = i + qsizetype(schluessel.size());
    if (j < bis && !IstGrenze(d[j])) continue;
    return Verweis(d, j);
  }
  return -1;
}

bool HatSchluessel(const QByteArray& d, qsizetype von, qsizetype bis, const char* name) {
  const std::string schluessel = std::string("/") + name;
  for (qsizetype i = Finde(d, von, bis, schluessel); i >= 0; i = Finde(d, i + 1, bis, schluessel)) {
    const qsizetype j = i + qsizetype(schluessel.size());
    if (j >= bis || IstGrenze(d[j])) return true;
  }
  return false;
}

// One part read: its objects, its catalog and information, its page tree.
class TTeil {
 public:
  explicit TTeil(const QByteArray& d) : D(d) {}

  const QByteArray& D;
  std::map<int, TObjekt> Objekte;
  int Katalog = -1, Info = -1;
  std::vector<int> Knoten;  // the page tree's inner nodes
  std::vector<int> Seiten;  // the pages in order

  bool Lesen(std::string& fehler) {
    std::map<int, qsizetype> lage;
    if (!Querverweise(lage)) {
      fehler = "Querverweistabelle nicht lesbar";
      return false;
    }
    for (const auto& [n, o] : lage) {
      TObjekt obj;
      if (!Objekt(n, o, lage, obj)) {
        fehler = "Objekt " + std::to_string(n) + " nicht lesbar";
        return false;
      }
      Objekte[n] = obj;
    }
    const auto k = Objekte.find(Katalog);
    if (k == Objekte.end()) {
      fehler = "kein Katalog";
      return false;
    }
    const int wurzel = VerweisAufSchluessel(D, k->second.Rumpf, k->second.Schluss, "Pages");
    std::set<int> gesehen;
    if (!Baum(wurzel, 0, gesehen)) {
      fehler = "Seitenbaum nicht lesbar";
      return false;
    }
    return true;
  }

 private:
  bool Querverweise(std::map<int, qsizetype>& lage) {
    const qsizetype sx = D.lastIndexOf("startxref");
    if (sx < 0) return false;
    qsizetype i = sx + 9;
    const long long x = Zahl(D, i);
    if (x < 0 || x + 4 > D.size() || D.mid(x, 4) != "xref") return false;
    i = x + 4;
    while (true) {
      while (i < D.size() && IstLeer(D[i])) ++i;
      if (D.mid(i, 7) == "trailer") break;
      const long long erste = Zahl(D, i), anzahl = Zahl(D, i);
      if (erste < 0 || anzahl < 0 || anzahl > 10000000) return false;
      for (long long k = 0; k < anzahl; ++k) {
        const long long o = Zahl(D, i);
        const long long g = Zahl(D, i);
        while (i < D.size() && IstLeer(D[i])) ++i;
        if (o < 0 || g < 0 || i >= D.size()) return false;
        const char art = D[i++];
        if (art == 'n') {
          if (o >= D.size()) return false;
          lage[int(erste + k)] = qsizetype(o);
        } else if (art != 'f') {
          return false;
        }
      }
    }
    const qsizetype t = i + 7;
    Katalog = VerweisAufSchluessel(D, t, sx, "Root");
    Info = VerweisAufSchluessel(D, t, sx, "Info");
    return Katalog >= 0;
  }

  // The object n at offset o: "n g obj", its text, and for a stream its
  // data of /Length bytes, "endstream" and "endobj".
  bool Objekt(int n, qsizetype o, const std::map<int, qsizetype>& lage, TObjekt& obj) {
    qsizetype i = o;
    if (Zahl(D, i) != n || Zahl(D, i) < 0) return false;
    while (i < D.size() && IstLeer(D[i])) ++i;
    if (D.mid(i, 3) != "obj") return false;
    obj.Rumpf = i + 3;
    obj.Schluss = Durchlaufe(D, obj.Rumpf, D.size(), nullptr, nullptr);
    if (obj.Schluss < 0) return false;
    if (D.mid(obj.Schluss, 6) == "endobj") {
      obj.Ende = obj.Schluss + 6;
      return true;
    }
    obj.Strom = true;
    long long laenge = -1;
    const std::string_view schluessel("/Length");
    for (qsizetype k = Finde(D, obj.Rumpf, obj.Schluss, schluessel); k >= 0;
         k = Finde(D, k + 1, obj.Schluss, schluessel)) {
      qsizetype j = k + qsizetype(schluessel.size());
      if (j < obj.Schluss && !IstGrenze(D[j])) continue;
      qsizetype v = j;
      const int ref = Verweis(D, v);
      if (ref >= 0) {
        const auto it = lage.find(ref);
        if (it == lage.end()) return false;
        qsizetype w = it->second;
        if (Zahl(D, w) != ref || Zahl(D, w) < 0) return false;
        while (w < D.size() && IstLeer(D[w])) ++w;
        if (D.mid(w, 3) != "obj") return false;
        w += 3;
        laenge = Zahl(D, w);
      } else {
        laenge = Zahl(D, j);
      }
      break;
    }
    qsizetype s = obj.Schluss + 6;
    if (s < D.size() && D[s] == '\r') ++s;
    if (s < D.size() && D[s] == '\n') ++s;
    if (laenge < 0 || s + laenge > D.size()) return false;
    qsizetype j = s + qsizetype(laenge);
    while (j < D.size() && IstLeer(D[j])) ++j;
    if (D.mid(j, 9) != "endstream") return false;
    j += 9;
    while (j < D.size() && IstLeer(D[j])) ++j;
    if (D.mid(j, 6) != "endobj") return false;
    obj.Ende = j + 6;
    return true;
  }

  bool Baum(int n, int tiefe, std::set<int>& gesehen) {
    const auto it = Objekte.find(n);
    if (it == Objekte.end() || tiefe > 64 || !gesehen.insert(n).second) return false;
    const TObjekt& o = it->second;
    if (!HatSchluessel(D, o.Rumpf, o.Schluss, "Kids")) {
      Seiten.push_back(n);
      return true;
    }
    // Attributes a page inherits from the tree would be lost with it.
    for (const char* geerbt : {"Resources", "MediaBox", "CropBox", "Rotate"})
      if (HatSchluessel(D, o.Rumpf, o.Schluss, geerbt)) return false;
    Knoten.push_back(n);
    qsizetype i = Finde(D, o.Rumpf, o.Schluss, "/Kids") + 5;
    while (i < o.Schluss && IstLeer(D[i])) ++i;
    if (i >= o.Schluss || D[i] != '[') return false;
    ++i;
    while (true) {
      while (i < o.Schluss && IstLeer(D[i])) ++i;
      if (i >= o.Schluss) return false;
      if (D[i] == ']') return true;
      const int kind = Verweis(D, i);
      if (kind < 0 || !Baum(kind, tiefe + 1, gesehen)) return false;
    }
  }
};

}  // namespace

int PdfSeitenzahl(const QByteArray& pdf) {
  TTeil t(pdf);
  std::string fehler;
  return t.Lesen(fehler) ? int(t.Seiten.size()) : -1;
}

bool PdfTeileZusammenfuegen(const std::vector<QByteArray>& teile, QByteArray& pdf,
                            std::string& fehler) {
  pdf.clear();
  if (teile.empty()) {
    fehler = "keine Teile";
    return false;
  }
  std::vector<std::unique_ptr<TTeil>> gelesen;
  for (size_t k = 0; k < teile.size(); ++k) {
    gelesen.push_back(std::make_unique<TTeil>(teile[k]));
    if (!gelesen.back()->Lesen(fehler)) {
      fehler = "PDF-Teil " + std::to_string(k + 1) + ": " + fehler;
      return false;
    }
  }
  // New numbers: 1 the catalog (the first part's), 2 the one page tree, then
  // every other object of the parts in their order. The parts' own catalogs
  // and trees are dropped, and the information of all but the first.
  constexpr int kKatalog = 1, kSeitenbaum = 2;
  std::vector<std::map<int, int>> nummern(teile.size());
  int naechste = 3;
  for (size_t k = 0; k < gelesen.size(); ++k) {
    const TTeil& t = *gelesen[k];
    std::map<int, int>& m = nummern[k];
    for (int n : t.Knoten) m[n] = kSeitenbaum;
    m[t.Katalog] = kKatalog;
    for (const auto& [n, o] : t.Objekte) {
      if (m.count(n) || (k > 0 && n == t.Info)) continue;
      m[n] = naechste++;
    }
  }
  std::vector<QByteArray> objekte(static_cast<size_t>(naechste));
  std::set<QByteArray> belegteTags;
  QByteArray kinder;
  int seiten = 0;
  int info = -1;
  for (size_t k = 0; k < gelesen.size(); ++k) {
    const TTeil& t = *gelesen[k];
    std::map<QByteArray, QByteArray> tags;
    TErsetzung r{&nummern[k], &tags, &belegteTags};
    for (const auto& [n, o] : t.Objekte) {
      if (k > 0 && (n == t.Katalog || n == t.Info)) continue;
      const int neu = nummern[k].at(n);
      if (neu == kSeitenbaum) continue;
      if (k == 0 && n == t.Info) info = neu;
      QByteArray& text = objekte[size_t(neu)];
      text = QByteArray::number(neu) + " 0 obj";
      Durchlaufe(t.D, o.Rumpf, o.Schluss, &text, &r);
      text.append(t.D.constData() + o.Schluss, o.Ende - o.Schluss);
      text.append('\n');
    }
    if (r.Fehler) {
      fehler = "PDF-Teil " + std::to_string(k + 1) + ": Verweis auf ein fehlendes Objekt";
      return false;
    }
    for (int s : t.Seiten) kinder += QByteArray::number(nummern[k].at(s)) + " 0 R\n";
    seiten += int(t.Seiten.size());
  }
  objekte[kSeitenbaum] = "2 0 obj\n<<\n/Type /Pages\n/Kids \n[\n" + kinder + "]\n/Count " +
                         QByteArray::number(seiten) +
                         "\n/ProcSet [/PDF /Text /ImageB /ImageC]\n>>\nendobj\n";

  const QByteArray& erster = teile.front();
  const qsizetype kopf = erster.indexOf('\n');
  pdf = erster.left(kopf + 1);
  pdf += "%\xE2\xE3\xCF\xD3\n";
  std::vector<qsizetype> lage(size_t(naechste), 0);
  for (int n = 1; n < naechste; ++n) {
    lage[size_t(n)] = pdf.size();
    pdf += objekte[size_t(n)].isEmpty() ? QByteArray::number(n) + " 0 obj\nnull\nendobj\n"
                                        : objekte[size_t(n)];
  }
  const qsizetype xref = pdf.size();
  pdf += "xref\n0 " + QByteArray::number(naechste) + "\n0000000000 65535 f \n";
  char zeile[32];
  for (int n = 1; n < naechste; ++n) {
    std::snprintf(zeile, sizeof zeile, "%010lld 00000 n \n",
                  static_cast<long long>(lage[size_t(n)]));
    pdf += zeile;
  }
  pdf += "trailer\n<<\n/Size " + QByteArray::number(naechste) + "\n";
  if (info > 0) pdf += "/Info " + QByteArray::number(info) + " 0 R\n";
  pdf += "/Root 1 0 R\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
  return true;
}

}  // namespace t21
