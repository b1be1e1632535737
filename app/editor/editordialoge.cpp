#include "app/editor/editordialoge.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/basis/dialoge.h"

namespace t21 {

namespace {

QDialogButtonBox* Knoepfe(QDialog* d) {
  auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
  b->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
  b->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Abbruch"));
  QObject::connect(b, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(b, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return b;
}

QColor Farbe(int bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
int Bgr(const QColor& c) {
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}

bool IstTextTyp(const TCadShape& s) {
  for (const char* t : {"TEX", "Dim", "LIN", "REC", "RRE", "CIR", "YON", "RAU"})
    if (s.Typ() == t) return true;
  return false;
}

}  // namespace

QString ZahlText(double v) {
  return QString::asprintf("%f", v).replace(QLatin1Char('.'), QLatin1Char(','));
}

bool TextZahl(const QString& t, double& v) {
  bool ok = false;
  const double w = QString(t).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
  if (ok && std::isfinite(w)) v = w;
  return ok && std::isfinite(w);
}

// ------------------------------------------------------------------ align

TAusrichtenDialog::TAusrichtenDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("markierte Elemente Ausrichten"));
  setObjectName(QStringLiteral("TAusrichtenDialog"));
  auto* l = new QFormLayout(this);
  FH = new QComboBox(this);
  FH->setObjectName(QStringLiteral("horizontal"));
  FH->addItems({"keine", "oben", "zentriert", "unten", "am Raster"});
  FV = new QComboBox(this);
  FV->setObjectName(QStringLiteral("vertikal"));
  FV->addItems({"keine", "links", "mittig", "rechts", "am Raster"});
  l->addRow(QStringLiteral("horizontal"), FH);
  l->addRow(QStringLiteral("vertikal"), FV);
  l->addRow(Knoepfe(this));
}

THorizontal TAusrichtenDialog::H() const {
  return static_cast<THorizontal>(std::max(0, FH->currentIndex()));
}
TVertikal TAusrichtenDialog::V() const {
  return static_cast<TVertikal>(std::max(0, FV->currentIndex()));
}

// ----------------------------------------------------------------- search

TSuchenDialog::TSuchenDialog(QStringList namen, QWidget* parent)
    : QDialog(parent), FNamen(std::move(namen)) {
  setWindowTitle(QStringLiteral("Komponente suchen"));
  setObjectName(QStringLiteral("TSuchenDialog"));
  auto* l = new QVBoxLayout(this);
  l->addWidget(new QLabel(QStringLiteral("Such-Begriff:"), this));
  FBegriff = new QLineEdit(this);
  l->addWidget(FBegriff);
  FFall = new QCheckBox(QStringLiteral("Groß- / Kleinschreibung unterscheiden"), this);
  FAnfang = new QCheckBox(QStringLiteral("Suchbegriff am &Wortanfang"), this);
  l->addWidget(FFall);
  l->addWidget(FAnfang);
  FTreffer = new QListWidget(this);
  l->addWidget(FTreffer, 1);
  l->addWidget(Knoepfe(this));
  connect(FBegriff, &QLineEdit::textChanged, this, [this] { Filtern(); });
  connect(FFall, &QCheckBox::toggled, this, [this] { Filtern(); });
  connect(FAnfang, &QCheckBox::toggled, this, [this] { Filtern(); });
  connect(FTreffer, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  Filtern();
  resize(320, 360);
}

QStringList TSuchenDialog::Gefiltert() const {
  const QString b = FBegriff->text();
  const Qt::CaseSensitivity cs = FFall->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
  QStringList r;
  for (const QString& n : FNamen)
    if (FAnfang->isChecked() ? n.startsWith(b, cs) : n.contains(b, cs)) r << n;
  return r;
}

void TSuchenDialog::Filtern() {
  FTreffer->clear();
  FTreffer->addItems(Gefiltert());
  if (FTreffer->count() > 0) FTreffer->setCurrentRow(0);
}

QString TSuchenDialog::Gewaehlt() const {
  const QListWidgetItem* i = FTreffer->currentItem();
  return i ? i->text() : QString();
}

// -------------------------------------------------------- graphic settings

TGrafikDialog::TGrafikDialog(std::vector<const TCadShape*> shapes, TDialoge& dialoge,
                             QWidget* parent)
    : QDialog(parent), FShapes(std::move(shapes)), FDialoge(dialoge) {
  setObjectName(QStringLiteral("TGrafikDialog"));
  const bool einzeln = FShapes.size() == 1;
  setWindowTitle(einzeln ? QStringLiteral("Grafikeigenschaften Komponente ") +
                               QString::fromStdString(FShapes.front()->Name)
                         : QStringLiteral("Grafikeigenschaften markierte Komponenten"));
  bool punkte = false, texte = false, bilder = false;
  const TCadShape* erste = nullptr;
  for (const TCadShape* s : FShapes) {
    if (!erste) erste = s;
    punkte |= s->Typ() == "DOT";
    texte |= IstTextTyp(*s);
    bilder |= s->Typ() == "BMP";
  }
  if (erste) {
    FStart.X1 = erste->X1;
    FStart.Y1 = erste->Y1;
    FStart.X2 = erste->X2;
    FStart.Y2 = erste->Y2;
    FStart.LinienBreite = erste->Pen.Width;
    FStart.LinienFarbe = erste->Pen.Color;
    FStart.FuellFarbe = erste->Brush.Color;
    FStart.FuellMuster = erste->Brush.Style;
    FStart.Pfeile = erste->ShowArrows;
    FStart.Schrift = erste->Font;
    FStart.Text = QString::fromStdString(erste->Val);
    if (erste->Typ() == "BMP") FStart.Bild = QString::fromStdString(erste->Val);
  }
  FWerte = FStart;

  auto* l = new QVBoxLayout(this);
  FSeiten = new QTabWidget(this);
  l->addWidget(FSeiten);

  auto* koord = new QWidget;
  auto* kl = new QFormLayout(koord);
  const char* kn[] = {"X1", "Y1", "X2", "Y2"};
  const double kw[] = {FStart.X1, FStart.Y1, FStart.X2, FStart.Y2};
  for (int i = 0; i < 4; ++i) {
    FKoord[i] = new QLineEdit(ZahlText(kw[i]), koord);
    FKoord[i]->setObjectName(QString::fromUtf8(kn[i]));
    kl->addRow(QString::fromUtf8(kn[i]), FKoord[i]);
  }
  FSeiten->addTab(koord, QStringLiteral("Koordinaten"));

  auto* linien = new QWidget;
  auto* ll = new QFormLayout(linien);
  FBreite = new QSpinBox(linien);
  FBreite->setRange(0, 50);
  FBreite->setValue(FStart.LinienBreite);
  ll->addRow(QStringLiteral("Linienbreite"), FBreite);
  FLinienFarbe = new QPushButton(QStringLiteral("Linienfarbe ..."), linien);
  FFuellFarbe = new QPushButton(QStringLiteral("Füllfarbe ..."), linien);
  FarbeZeigen(FLinienFarbe, FStart.LinienFarbe);
  FarbeZeigen(FFuellFarbe, FStart.FuellFarbe);
  ll->addRow(QStringLiteral("Linienfarbe"), FLinienFarbe);
  ll->addRow(QStringLiteral("Füllfarbe"), FFuellFarbe);
  FMuster = new QComboBox(linien);
  FMuster->addItems({"voll", "keine Füllung", "waagerecht", "senkrecht", "diagonal fallend",
                     "diagonal steigend", "Kreuz", "Diagonalkreuz"});
  FMuster->setCurrentIndex(std::clamp(FStart.FuellMuster, 0, 7));
  ll->addRow(QStringLiteral("Füllmuster"), FMuster);
  FPfeile = new QCheckBox(QStringLiteral("Verbindungs-Pfeil Polygone sichtbar"), linien);
  FPfeile->setChecked(FStart.Pfeile);
  FPfeile->setVisible(punkte);
  ll->addRow(FPfeile);
  FSeiten->addTab(linien, QStringLiteral("Linien und Flächen"));

  auto* text = new QWidget;
  auto* tl = new QFormLayout(text);
  FSchrift = new QPushButton(QStringLiteral("Schriftart ..."), text);
  tl->addRow(FSchrift);
  FText = new QLineEdit(FStart.Text, text);
  FText->setObjectName(QStringLiteral("Text"));
  FText->setEnabled(texte);
  tl->addRow(QStringLiteral("Text"), FText);
  FSeiten->addTab(text, QStringLiteral("Text"));

  auto* bild = new QWidget;
  auto* bl = new QVBoxLayout(bild);
  auto* laden = new QPushButton(QStringLiteral("Bild laden ..."), bild);
  FBildName = new QLabel(FStart.Bild, bild);
  bl->addWidget(laden);
  bl->addWidget(FBildName);
  bl->addStretch();
  FSeiten->addTab(bild, QStringLiteral("Bild"));

  FSeiten->setTabVisible(0, einzeln);
  FSeiten->setTabVisible(3, bilder);
  l->addWidget(Knoepfe(this));

  connect(FLinienFarbe, &QPushButton::clicked, this, [this] {
    const QColor c = QColorDialog::getColor(Farbe(FWerte.LinienFarbe), this);
    if (c.isValid()) SetzeLinienFarbe(Bgr(c));
  });
  connect(FFuellFarbe, &QPushButton::clicked, this, [this] {
    const QColor c = QColorDialog::getColor(Farbe(FWerte.FuellFarbe), this);
    if (c.isValid()) SetzeFuellFarbe(Bgr(c));
  });
  connect(FSchrift, &QPushButton::clicked, this, [this] {
    bool ok = false;
    QFont f(QString::fromStdString(FWerte.Schrift.Name), FWerte.Schrift.Size);
    f.setBold(FWerte.Schrift.Fett);
    f.setItalic(FWerte.Schrift.Kursiv);
    const QFont neu = QFontDialog::getFont(&ok, f, this);
    if (!ok) return;
    TSchrift s = FWerte.Schrift;
    s.Name = neu.family().toStdString();
    s.Size = std::max(6, neu.pointSize());
    s.Fett = neu.bold();
    s.Kursiv = neu.italic();
    s.Unterstrichen = neu.underline();
    s.Durchgestrichen = neu.strikeOut();
    SetzeSchrift(s);
  });
  connect(laden, &QPushButton::clicked, this, [this] {
    const QString d = FDialoge.DateiOeffnen(this, QStringLiteral("Bild laden"),
                                            QStringLiteral("Bilder (*.bmp *.ico *.emf)"));
    if (!d.isEmpty()) SetzeBild(d);
  });
  resize(420, 300);
}

void TGrafikDialog::FarbeZeigen(QPushButton* b, int farbe) {
  QPixmap p(16, 16);
  p.fill(Farbe(farbe));
  b->setIcon(QIcon(p));
}

void TGrafikDialog::SetzeLinienFarbe(int farbe) {
  FWerte.LinienFarbe = farbe;
  FWerte.Linie = true;
  FarbeZeigen(FLinienFarbe, farbe);
}

void TGrafikDialog::SetzeFuellFarbe(int farbe) {
  FWerte.FuellFarbe = farbe;
  FWerte.Fuellung = true;
  FarbeZeigen(FFuellFarbe, farbe);
}

void TGrafikDialog::SetzeSchrift(const TSchrift& s) {
  FWerte.Schrift = s;
  FWerte.SchriftGeaendert = true;
}

bool TGrafikDialog::SetzeBild(const QString& datei) {
  const QFileInfo fi(datei);
  const QString endung = fi.suffix().toLower();
  bool gut = false;
  if (endung == QStringLiteral("emf"))
    gut = fi.isFile() && fi.size() > 0;  // a metafile is drawn where it can be
  else if (endung == QStringLiteral("bmp") || endung == QStringLiteral("ico"))
    gut = QImageReader(datei).canRead();
  if (!gut) {
    FDialoge.Meldung(this, QStringLiteral("Keine gültige Bitmap-Datei"));
    return false;
  }
  FWerte.Bild = datei;
  FWerte.BildGeaendert = true;
  FBildName->setText(datei);
  return true;
}

TGrafikWerte TGrafikDialog::Werte() const {
  TGrafikWerte w = FWerte;
  double k[4] = {FStart.X1, FStart.Y1, FStart.X2, FStart.Y2};
  for (int i = 0; i < 4; ++i) {
    double v = k[i];
    if (FKoord[i]->text() != ZahlText(k[i]) && TextZahl(FKoord[i]->text(), v)) {
      k[i] = v;
      w.Koordinaten = true;
    }
  }
  w.X1 = k[0];
  w.Y1 = k[1];
  w.X2 = k[2];
  w.Y2 = k[3];
  w.LinienBreite = FBreite->value();
  w.Breite = w.LinienBreite != FStart.LinienBreite;
  w.FuellMuster = FMuster->currentIndex();
  w.Muster = w.FuellMuster != FStart.FuellMuster;
  w.Pfeile = FPfeile->isChecked();
  w.PfeileGeaendert = w.Pfeile != FStart.Pfeile;
  w.Text = FText->text();
  w.TextGeaendert = FText->isEnabled() && w.Text != FStart.Text;
  return w;
}

void TGrafikDialog::Anwenden(const TGrafikWerte& w, TCadShape& s, bool einzeln) {
  if (w.SchriftGeaendert) s.Font = w.Schrift;
  if (einzeln && w.Koordinaten) {
    const double dx = w.X1 - s.X1, dy = w.Y1 - s.Y1;
    // The vertices of a polyline follow its anchor.
    for (TPunkt& k : s.Koordinaten) {
      k.X += dx;
      k.Y += dy;
    }
    s.X1 = w.X1;
    s.Y1 = w.Y1;
    s.X2 = w.X2;
    s.Y2 = w.Y2;
  }
  if (s.IsM3Shape()) return;
  if (w.Breite) s.Pen.Width = w.LinienBreite;
  if (w.Linie) s.Pen.Color = w.LinienFarbe;
  if (w.Fuellung) s.Brush.Color = w.FuellFarbe;
  if (w.Muster) s.Brush.Style = w.FuellMuster;
  if (w.TextGeaendert && IstTextTyp(s)) s.Val = w.Text.toStdString();
  if (w.PfeileGeaendert && s.Typ() == "DOT") s.ShowArrows = w.Pfeile;
  if (w.BildGeaendert && s.Typ() == "BMP") s.Val = w.Bild.toStdString();
}

}  // namespace t21
