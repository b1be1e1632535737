#include "app/editor/editor.h"

#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSvgRenderer>
#include <QWidget>
#include <cmath>

#include "app/basis/dialoge.h"
#include "app/editor/editordialoge.h"
#include "painting/zeichenansicht.h"

namespace t21 {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

bool IstPoly(const QString& w) {
  return w == QStringLiteral("POL") || w == QStringLiteral("POG");
}

bool IstLinie(const QString& w) {
  return w == QStringLiteral("LIN") || w == QStringLiteral("DIM");
}

// A cursor of our own from its picture in the resources (32 x 32 pixels,
// drawn sharp on screens with more pixels per point) with its hot spot.
QCursor EigenerCursor(const char* name, int x, int y) {
  QSvgRenderer bild(QStringLiteral(":/t21/editor/cursor/%1.svg").arg(QString::fromUtf8(name)));
  if (!bild.isValid()) return QCursor(Qt::ArrowCursor);
  const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
  const int kante = qRound(32 * dpr);
  QPixmap pm(kante, kante);
  pm.fill(Qt::transparent);
  {
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    bild.render(&p, QRectF(0, 0, kante, kante));
  }
  pm.setDevicePixelRatio(dpr);
  return QCursor(pm, x, y);
}

}  // namespace

TEditor::TEditor(TZeichenAnsicht* ansicht, TDialoge& dialoge, QWidget* fenster)
    : QObject(fenster),
      FAnsicht(ansicht),
      FDialoge(dialoge),
      FFenster(fenster),
      FAblage([] { return std::make_unique<TM3Model>("Zwischenablage"); },
              [](const TCadShape& von, TCadShape& nach) {
                if (auto* m = dynamic_cast<TM3Model*>(nach.Model)) m->CopyShape(&von, &nach);
              }) {
  MenueZeigen = [](QMenu& m, QPoint p) { m.exec(p); };
  DialogAusfuehren = [](QDialog& d) { return d.exec(); };
  FCursorPan = EigenerCursor("pan", 16, 16);
  FCursorZoom = EigenerCursor("zoom", 12, 12);
  FCursorNeu = EigenerCursor("neu", 1, 1);
  FAnsicht->installEventFilter(this);
  FAnsicht->setMouseTracking(true);
  // The view may outlive the editor (or be its parent being destroyed).
  FAnsicht->Overlay = [e = QPointer<TEditor>(this)](QPainter& p) {
    if (e) e->Overlay(p);
  };
  MenuesAnlegen();
}

TEditor::~TEditor() {
  blockSignals(true);  // nobody is told about an editor going away
  // An edit still open ends as it stands (the document outlives the
  // editor: its owner ends the editor first).
  ZugBeenden();
  PolylinieBeenden();
}

// --------------------------------------------------------------- helpers

TM3Model* TEditor::Modell() const {
  // The selection is view state of the document, not an edit: the
  // selection operations may change it outside a commit.
  return FDok ? const_cast<TM3Model*>(&FDok->Model()) : nullptr;
}

const TAnsicht& TEditor::Ans() const {
  return FAnsicht->View().Ansicht();
}

TCadShape* TEditor::Shape(uint64_t id) const {
  return FDok && id ? Modell()->GetNodeById(id) : nullptr;
}

uint64_t TEditor::AktuellerShape() const {
  return Shape(FAktuell) ? FAktuell : 0;
}

void TEditor::AllesAbwaehlen() {
  if (FDok) FDok->Auswahl().Leeren();
}

void TEditor::Waehle(uint64_t id) {
  if (TCadShape* s = Shape(id)) Modell()->SetSelected(s);
}

void TEditor::Gewaehlt(uint64_t id) {
  emit KnotenGewaehlt(Shape(id) ? id : 0);
}

void TEditor::Neuzeichnen() {
  FAnsicht->Neuzeichnen();
}

int TEditor::Ausfuehren(QDialog& d) {
  return DialogAusfuehren ? DialogAusfuehren(d) : d.exec();
}

void TEditor::Bearbeite(const std::string& titel, const std::function<void(TCommit&)>& f) {
  if (!FDok) return;
  ZugBeenden();
  PolylinieBeenden();
  TCommit c = FDok->Beginne(titel);
  c.Model().LetzteMeldung.clear();
  f(c);
  const std::string meldung = c.Model().LetzteMeldung;
  c.Model().LetzteMeldung.clear();
  FDok->Push(c);
  if (!meldung.empty()) FDialoge.Meldung(FFenster, Q(meldung));
}

void TEditor::SetzeDokument(TDokument* d) {
  ZugBeenden();
  PolylinieBeenden();
  FDok = d;
  FAktuell = 0;
  FGriff = -1;
  FLBDown = false;
  FModus = TVerbindeModus::Keiner;
  FAnsicht->update();
}

void TEditor::Bemerke(const TAenderung& a) {
  for (uint64_t id : a.Entfernt) {
    if (id == FAktuell) {
      FAktuell = 0;
      FGriff = -1;
    }
  }
}

// ------------------------------------------------------------------ tools

bool TEditor::IstErzeugungsWerkzeug() const {
  for (const char* w : {kEinzelauswahl, kSchnittAuswahl, kFensterAuswahl, kVerschieben, kZoomen})
    if (FWerkzeug == QString::fromUtf8(w)) return false;
  return !FWerkzeug.isEmpty();
}

bool TEditor::IstGummibandWerkzeug() const {
  return FWerkzeug == QString::fromUtf8(kSchnittAuswahl) ||
         FWerkzeug == QString::fromUtf8(kFensterAuswahl) ||
         FWerkzeug == QString::fromUtf8(kVerschieben) || FWerkzeug == QString::fromUtf8(kZoomen) ||
         IstGummibandTyp(FWerkzeug.toStdString());
}

void TEditor::SetzeWerkzeug(const QString& werkzeug) {
  const QString alt = FWerkzeug;
  FWerkzeug = werkzeug;
  if (IstPoly(alt) || !IstPoly(werkzeug)) PolylinieBeenden();
  FAnsicht->setCursor(WerkzeugCursor(werkzeug));
  if (alt != werkzeug) emit WerkzeugGewechselt(werkzeug);
}

QCursor TEditor::WerkzeugCursor(const QString& werkzeug) const {
  if (werkzeug == QString::fromUtf8(kVerschieben)) return FCursorPan;
  if (werkzeug == QString::fromUtf8(kZoomen)) return FCursorZoom;
  if (werkzeug == QString::fromUtf8(kSchnittAuswahl)) return QCursor(Qt::CrossCursor);
  for (const char* w : {kEinzelauswahl, kFensterAuswahl})
    if (werkzeug == QString::fromUtf8(w)) return QCursor(Qt::ArrowCursor);
  return werkzeug.isEmpty() ? QCursor(Qt::ArrowCursor) : FCursorNeu;
}

std::optional<TPixelRect> TEditor::GummibandRect() const {
  if (!FLBDown || !IstGummibandWerkzeug() || FWerkzeug == QString::fromUtf8(kVerschieben) ||
      FWerkzeug == QString::fromUtf8(kZoomen))
    return std::nullopt;
  return Gummiband({FDruck.x(), FDruck.y()}, {FLetzter.x(), FLetzter.y()}, false).Rect;
}

void TEditor::Overlay(QPainter& p) {
  const auto r = GummibandRect();
  if (!r) return;
  p.save();
  QPen stift(Qt::black, 1, Qt::DashLine);
  p.setPen(stift);
  p.setBrush(Qt::NoBrush);
  const QRect q(QPoint(r->Left, r->Top), QPoint(r->Right, r->Bottom));
  const std::string w = FWerkzeug.toStdString();
  if (w == "RRE") {
    p.drawRoundedRect(q, 7.5, 7.5);
  } else if (w == "RAU") {
    const QPoint m = q.center();
    p.drawPolygon(QPolygon({QPoint(m.x(), q.top()), QPoint(q.right(), m.y()),
                            QPoint(m.x(), q.bottom()), QPoint(q.left(), m.y())}));
  } else if (w == "LIN" || w == "DIM") {
    p.drawLine(FDruck, FLetzter);
  } else if (w == "CIR") {
    p.drawEllipse(q);
  } else {
    p.drawRect(q);
  }
  p.restore();
}

// --------------------------------------------------------------- creating

std::optional<std::string> TEditor::FrageName(const QString& typ, const QString& vorschlag) {
  (void)typ;
  QString wert = vorschlag;
  for (;;) {
    if (!FDialoge.Eingabe(FFenster, QStringLiteral("Element-Bezeichnung"), QStringLiteral("Name ?"),
                          wert))
      return std::nullopt;
    const std::string name = Getrimmt(wert.toStdString());
    const std::string meldung = PruefeName(*Modell(), name);
    if (meldung.empty()) return name;
    FDialoge.Meldung(FFenster, Q(meldung));
  }
}

TCadShape* TEditor::Erzeuge(TCommit& c, const std::string& typ, const std::string& name, int x,
                            int y) {
  TM3Model& m = c.Model();
  if (typ == "DOT") {
    const int d = RundeGerade(6 * Ans().Zoom);
    x -= d;
    y += d;
  }
  TCadShape* s = c.Erzeuge(RegisteredShapeType(typ), name, Ans().PaperX(x), Ans().PaperY(y));
  if (!s) return nullptr;
  if (m.AmRasterAusrichten) AmRaster(*s, FAnsicht->View().GridMinor());
  if (m.Root()) s->Font = m.Root()->Font;
  if (s->Typ() == "IMP" && TitelblockFuellen) TitelblockFuellen(*s);
  m.SetSelected(s);
  return s;
}

uint64_t TEditor::NeuesElement(int x, int y) {
  if (!FDok || !IstErzeugungsWerkzeug()) return 0;
  ZugBeenden();
  AllesAbwaehlen();
  const std::string typ = FWerkzeug.toStdString();
  std::string meldung;
  if (!KannErzeugen(*Modell(), typ, &meldung)) {
    if (!meldung.empty()) FDialoge.Meldung(FFenster, Q(meldung));
    SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
    return 0;
  }
  const std::string vorschlag = NamensVorschlag(*Modell(), typ);
  if (IstPoly(FWerkzeug)) {
    PolylinieBeenden();
    FPolyZug.emplace(FDok->Beginne("Neues Element " + vorschlag));
    TCadShape* s = Erzeuge(*FPolyZug, typ, vorschlag, x, y);
    if (!s) {
      FPolyZug.reset();
      return 0;
    }
    FPolyId = s->Id;
    return s->Id;
  }
  const auto name = FrageName(FWerkzeug, Q(vorschlag));
  if (!name) {
    SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
    return 0;
  }
  const bool gummi = IstGummibandTyp(typ);
  const QPoint druck = FDruck, los = FLetzter;
  uint64_t id = 0;
  Bearbeite("Neues Element " + *name, [&](TCommit& c) {
    TCadShape* s = Erzeuge(c, typ, *name, x, y);
    if (!s) return;
    id = s->Id;
    if (!gummi) return;
    if (IstLinie(FWerkzeug)) {
      s->X2 = Ans().PaperX(los.x());
      s->Y2 = Ans().PaperY(los.y());
    } else {
      const TGummiband g = Gummiband({druck.x(), druck.y()}, {los.x(), los.y()}, true);
      s->X2 = Ans().PaperX(g.Rect.Right);
      s->Y2 = Ans().PaperY(g.Rect.Top);
    }
  });
  SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
  Gewaehlt(id);
  emit AuswahlGeaendert();
  if (id && Modell()->AutoOeffnen) emit EditorOeffnen(id);
  return id;
}

void TEditor::PolylinieBeenden() {
  if (!FPolyId) return;
  const uint64_t id = FPolyId;
  FPolyId = 0;
  if (!FPolyZug || !FDok) {
    FPolyZug.reset();
    return;
  }
  TCadShape* s = FPolyZug->Aendern(id);
  if (s && !s->Koordinaten.empty()) s->Koordinaten.pop_back();  // the vertex at the mouse
  if (!s || s->Koordinaten.size() < 2) {
    FPolyZug.reset();  // a polyline needs two vertices: nothing was drawn
    FAnsicht->Neuzeichnen();
    return;
  }
  FDok->Push(*FPolyZug);
  FPolyZug.reset();
  if (Modell()->AutoOeffnen) emit EditorOeffnen(id);
}

void TEditor::ZugBeenden() {
  if (!FZug) return;
  if (FDok) FDok->Push(*FZug);
  FZug.reset();
}

// ------------------------------------------------------------------ mouse

bool TEditor::eventFilter(QObject* o, QEvent* e) {
  if (o != FAnsicht) return QObject::eventFilter(o, e);
  switch (e->type()) {
    case QEvent::MouseButtonPress:
      Druecken(static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::MouseMove:
      Bewegen(static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::MouseButtonRelease:
      Loslassen(static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
      // In the drawing Ctrl+C copies and Ctrl+E edits; the same keys of
      // the export items act elsewhere.
      auto* k = static_cast<QKeyEvent*>(e);
      const bool strg = (k->modifiers() & Qt::ControlModifier) &&
                        !(k->modifiers() & (Qt::ShiftModifier | Qt::AltModifier));
      if (!strg || (k->key() != Qt::Key_C && k->key() != Qt::Key_E))
        return QObject::eventFilter(o, e);
      e->accept();
      if (e->type() == QEvent::KeyPress) {
        if (k->key() == Qt::Key_C)
          Kopieren();
        else
          emit Editieren();
      }
      return true;
    }
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) Doppelklick();
      return true;
    default:
      return QObject::eventFilter(o, e);
  }
}

void TEditor::Druecken(QMouseEvent* e) {
  if (!FDok) return;
  // A left press while the left button counts as held: its release was
  // lost (to a modal dialog); the earlier drag ends here.
  if (FLBDown && e->button() == Qt::LeftButton) {
    FLBDown = false;
    ZugBeenden();
  }
  if (FLBDown) return;
  FGriff = -1;
  FAnsicht->setFocus();
  const QPoint p = e->position().toPoint();
  const TPixel px{p.x(), p.y()};
  const bool poly = IstPoly(FWerkzeug);
  if (!poly) {
    TCadShape* s = SelSingle(*Modell(), Ans(), px);
    FAktuell = s ? s->Id : 0;
  }
  const Qt::KeyboardModifiers mod = e->modifiers();
  const bool shift = mod & Qt::ShiftModifier, ctrl = mod & Qt::ControlModifier;

  if (e->button() == Qt::RightButton) {
    const bool inArbeit = PolylinieInArbeit();
    const QPoint global = e->globalPosition().toPoint();
    if (TCadShape* s = Shape(FAktuell)) {
      if (shift && ctrl) {
        if (s->IsEinleitung())
          Bearbeite("Gewässer-Zuordnung", [&](TCommit& c) { SetzeGewaesser(c.Model(), s); });
        else if (s->IsRegenschreiber())
          Bearbeite("Regenschreiber-Zuordnung",
                    [&](TCommit& c) { SetzeRegenschreiber(c.Model(), s); });
      } else if (ctrl) {
        Bearbeite("Beckenüberlauf", [&](TCommit& c) { c.Model().SelectedSetBUE(s, true); });
      } else {
        if (!Modell()->IsSelected(s)) {
          if (!shift) AllesAbwaehlen();
          Waehle(s->Id);
          Gewaehlt(s->Id);
          Neuzeichnen();
          emit AuswahlGeaendert();
        }
        if (!inArbeit && MenueZeigen) {
          ObjektMenueAktualisieren();
          MenueZeigen(*FObjekt, global);
        }
      }
    } else if (!inArbeit && MenueZeigen) {
      MenueZeigen(*FZeichnung, global);
    }
    SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
    Neuzeichnen();
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  FLBDown = true;
  FDruck = FLetzter = p;
  if (IstGummibandWerkzeug()) return;

  if (FWerkzeug == QString::fromUtf8(kEinzelauswahl)) {
    TCadShape* s = Shape(FAktuell);
    if (!s) {
      AllesAbwaehlen();
      Gewaehlt(0);
    } else if (shift && ctrl) {
      if (IstKlasse(*s, "POL")) {
        const TPunkt pt{Ans().PaperX(p.x()), Ans().PaperY(p.y())};
        const double tol = 6 * Ans().KehrwertZoom();
        Bearbeite("Punkt einfügen",
                  [&](TCommit& c) { PunktEinfuegen(*c.Aendern(s->Id), pt, tol); });
      } else {
        Bearbeite("Verbinden", [&](TCommit& c) { c.Model().SelectedSetParent(s); });
      }
      FLBDown = false;
    } else if (ctrl) {
      Bearbeite("Klärüberlauf", [&](TCommit& c) { c.Model().SelectedSetKUE(s, true); });
      FLBDown = false;
    } else if (shift) {
      Modell()->ChangeSelection(s);
      if (!Modell()->IsSelected(s)) FAktuell = 0;
      Gewaehlt(FAktuell);
    } else if (FModus == TVerbindeModus::Keiner) {
      AllesAbwaehlen();
      Waehle(s->Id);
      Gewaehlt(s->Id);
      if (!s->IsM3Shape() && s->Typ() != "DOT") FGriff = PointOnEnd(*s, Ans(), px);
    } else {
      const TVerbindeModus modus = FModus;
      Bearbeite("Verbinden", [&](TCommit& c) { Verbinde(c.Model(), modus, s); });
      FLBDown = false;
    }
  } else if (poly) {
    if (!PolylinieInArbeit()) NeuesElement(p.x(), p.y());
    if (PolylinieInArbeit()) {
      if (TCadShape* s = FPolyZug->Aendern(FPolyId)) {
        const TPunkt pt{Ans().PaperX(p.x()), Ans().PaperY(p.y())};
        // The vertex following the mouse stays where it was clicked.
        if (s->Koordinaten.empty())
          s->Koordinaten.push_back(pt);
        else
          s->Koordinaten.back() = pt;
        s->Koordinaten.push_back(pt);
      }
    }
    FLBDown = false;
  } else if (IstErzeugungsWerkzeug()) {
    FLBDown = false;  // the name prompt takes the release
    NeuesElement(p.x(), p.y());
  }
  FModus = TVerbindeModus::Keiner;
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::Bewegen(QMouseEvent* e) {
  if (!FDok) return;
  const QPoint p = e->position().toPoint();
  const int dx = p.x() - FLetzter.x(), dy = p.y() - FLetzter.y();
  TCadView& v = FAnsicht->View();
  if (FLBDown && FWerkzeug == QString::fromUtf8(kVerschieben)) {
    v.SetOrg(v.OrgX() - dx * Ans().KehrwertZoom(), v.OrgY() + dy * Ans().KehrwertZoom());
    FLetzter = p;
  } else if (FLBDown && FWerkzeug == QString::fromUtf8(kZoomen)) {
    const double f = p.y() <= 0 ? 1.0 : static_cast<double>(FLetzter.y()) / p.y();
    if (f > 0) v.SetZoom(v.Zoom() * f);
    FLetzter = p;
  } else if (FLBDown && IstGummibandWerkzeug()) {
    FLetzter = p;
    FAnsicht->update();
  } else if (FLBDown && Shape(FAktuell) && (dx != 0 || dy != 0)) {
    TCadShape* s = Shape(FAktuell);
    if (FGriff >= 0) {
      if (!FZug) FZug.emplace(FDok->Beginne("Größe ändern"));
      TCadShape* z = FZug->Aendern(s->Id);
      if (HatKastenGriffe(*z)) {
        FGriff = ZieheGriff(*z, FGriff, dx * Ans().KehrwertZoom(), -dy * Ans().KehrwertZoom());
      } else if (IstKlasse(*z, "LIN") || z->Typ() == "Dim") {
        if (FGriff == 1) {
          z->X1 = Ans().PaperX(p.x());
          z->Y1 = Ans().PaperY(p.y());
        } else if (FGriff == 2) {
          z->X2 = Ans().PaperX(p.x());
          z->Y2 = Ans().PaperY(p.y());
        }
      } else if (IstKlasse(*z, "POL") && FGriff < static_cast<int>(z->Koordinaten.size())) {
        z->Koordinaten[static_cast<size_t>(FGriff)] = {Ans().PaperX(p.x()), Ans().PaperY(p.y())};
      }
    } else {
      if (!FZug) FZug.emplace(FDok->Beginne("Verschieben"));
      Modell()->SetSelected(s);
      if (e->modifiers() & Qt::ShiftModifier) {
        BewegeAuswahlMitZufluessen(FZug->Model(), Ans(), dx, dy,
                                   [this](TCadShape& t) { FZug->Aendern(t.Id); });
      } else {
        FZug->Aendern(s->Id);
        Bewege(*s, Ans(), dx, dy);
      }
    }
    FLetzter = p;
    Neuzeichnen();
  }
  Cursor(p);
  if (PolylinieInArbeit()) {
    if (TCadShape* s = FPolyZug->Aendern(FPolyId); s && !s->Koordinaten.empty()) {
      s->Koordinaten.back() = {Ans().PaperX(p.x()), Ans().PaperY(p.y())};
      Neuzeichnen();
    }
  }
  const TCadShape* unter = SelSingle(*Modell(), Ans(), {p.x(), p.y()});
  emit Maus(Ans().PaperX(p.x()), Ans().PaperY(p.y()), unter ? unter->Id : 0);
}

void TEditor::Cursor(const QPoint& p) {
  if (FWerkzeug != QString::fromUtf8(kEinzelauswahl)) return;
  const TCadShape* s = Shape(FAktuell);
  Qt::CursorShape c = Qt::ArrowCursor;
  if (s && Modell()->IsSelected(s)) {
    const int g = PointOnEnd(*s, Ans(), {p.x(), p.y()});
    if (g >= 0 && (IstKlasse(*s, "LIN") || s->Typ() == "Dim" || IstKlasse(*s, "POL")))
      c = Qt::SizeFDiagCursor;
    else if (HatKastenGriffe(*s) && (g == 3 || g == 9))
      c = Qt::SizeHorCursor;
    else if (HatKastenGriffe(*s) && (g == 6 || g == 12))
      c = Qt::SizeVerCursor;
  }
  if (FAnsicht->cursor().shape() != c) FAnsicht->setCursor(c);
}

void TEditor::Loslassen(QMouseEvent* e) {
  if (!FDok) return;
  FGriff = -1;
  const QPoint p = e->position().toPoint();
  if (e->button() == Qt::LeftButton) {
    if (!FLBDown) {
      ZugBeenden();
      return;
    }
    FLBDown = false;
    FLetzter = p;
    const TGummiband g = Gummiband({FDruck.x(), FDruck.y()}, {p.x(), p.y()}, false);
    const bool schnitt = FWerkzeug == QString::fromUtf8(kSchnittAuswahl);
    if (schnitt || FWerkzeug == QString::fromUtf8(kFensterAuswahl)) {
      if (!(e->modifiers() & Qt::ShiftModifier)) AllesAbwaehlen();
      if (schnitt)
        SelCross(*Modell(), Ans(), g.Rect);
      else
        SelWindow(*Modell(), Ans(), g.Rect);
      const TCadShape* letzte = Modell()->LetzteSelektion();
      FAktuell = letzte ? letzte->Id : 0;
      Gewaehlt(FAktuell);
      SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
    } else if (IstGummibandTyp(FWerkzeug.toStdString())) {
      if (IstLinie(FWerkzeug)) {
        NeuesElement(FDruck.x(), FDruck.y());
      } else {
        const TGummiband m = Gummiband({FDruck.x(), FDruck.y()}, {p.x(), p.y()}, true);
        NeuesElement(m.Rect.Left, m.Rect.Bottom);
      }
    }
    ZugBeenden();
  } else if (e->button() == Qt::RightButton && PolylinieInArbeit()) {
    SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
  }
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::Doppelklick() {
  if (!FDok || FWerkzeug != QString::fromUtf8(kEinzelauswahl)) return;
  ZugBeenden();
  FLBDown = false;
  uint64_t id = AktuellerShape();
  if (!id) {
    const TCadShape* l = Modell()->LetzteSelektion();
    id = l ? l->Id : (Modell()->Root() ? Modell()->Root()->Id : 0);
  }
  if (id) emit EditorOeffnen(id);
}

// ------------------------------------------------------------------- keys

bool TEditor::Taste(QKeyEvent* e) {
  if (!FDok) return false;
  const int k = e->key();
  if (k == Qt::Key_Delete) {
    Loeschen();
    return true;
  }
  TPfeiltaste taste;
  int dx = 0, dy = 0;
  switch (k) {
    case Qt::Key_Left:
      taste = TPfeiltaste::Links;
      dx = -1;
      break;
    case Qt::Key_Right:
      taste = TPfeiltaste::Rechts;
      dx = 1;
      break;
    case Qt::Key_Up:
      taste = TPfeiltaste::Oben;
      dy = -1;
      break;
    case Qt::Key_Down:
      taste = TPfeiltaste::Unten;
      dy = 1;
      break;
    default:
      return false;
  }
  const bool shift = e->modifiers() & Qt::ShiftModifier,
             ctrl = e->modifiers() & Qt::ControlModifier;
  if (Modell()->AnySelected()) {
    if (ctrl) {
      Bearbeite("Größe ändern", [&](TCommit& c) {
        for (TCadShape* s : c.Model().Selection()) c.Aendern(s->Id);
        SelectedResize(c.Model(), Ans(), taste, !shift);
      });
    } else {
      Bearbeite("Verschieben", [&](TCommit& c) {
        auto vorher = [&](TCadShape& s) { c.Aendern(s.Id); };
        if (shift)
          BewegeAuswahlMitZufluessen(c.Model(), Ans(), dx, dy, vorher);
        else
          BewegeAuswahl(c.Model(), Ans(), dx, dy, vorher);
      });
    }
  }
  Neuzeichnen();
  emit AuswahlGeaendert();
  return true;
}

// --------------------------------------------------------------- commands

void TEditor::Kopieren() {
  if (!FDok) return;
  FAblage.Kopieren(*Modell());
  emit AuswahlGeaendert();
}

void TEditor::Ausschneiden() {
  if (!FDok || !Modell()->AnySelected()) return;
  Kopieren();
  Loeschen();
}

void TEditor::Einfuegen() {
  if (!FDok || FAblage.Leer()) return;
  Bearbeite("Einfügen", [&](TCommit& c) { FAblage.Einfuegen(c.Model()); });
  FAktuell = 0;
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::Loeschen() {
  if (!FDok || !Modell()->AnySelected()) return;
  Bearbeite("Löschen", [&](TCommit& c) {
    for (TCadShape* s : c.Model().Selection()) c.Entferne(s->Id);
  });
  FAktuell = 0;
  Gewaehlt(0);
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::AlleLoeschen() {
  if (!FDok || Modell()->Count() <= 1) return;
  if (!FDialoge.JaNein(FFenster, QString::fromUtf8(kFrageAlleLoeschen))) return;
  Bearbeite("alle löschen", [&](TCommit& c) {
    c.Model().SelectAll(true);
    for (TCadShape* s : c.Model().Selection()) c.Entferne(s->Id);
  });
  FAktuell = 0;
  Gewaehlt(0);
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::AlleMarkieren() {
  if (!FDok) return;
  Modell()->SelectAll(true);
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::Umbenennen() {
  if (!FDok) return;
  TCadShape* s = Modell()->LetzteSelektion();
  if (!s) {
    FDialoge.Meldung(FFenster, QString::fromUtf8(kMeldungNichtsMarkiert));
    return;
  }
  const uint64_t id = s->Id;
  QString wert = Q(s->Name);
  for (;;) {
    if (!FDialoge.Eingabe(FFenster, QStringLiteral("Umbenennen"),
                          Q(s->Name) + QStringLiteral(" umbenennen in "), wert))
      return;
    const std::string name = Getrimmt(wert.toStdString());
    if (name == s->Name) return;
    const std::string meldung = PruefeName(*Modell(), name, s);
    if (!meldung.empty()) {
      FDialoge.Meldung(FFenster, Q(meldung));
      continue;
    }
    Bearbeite("Umbenennen", [&](TCommit& c) {
      if (c.Model().GetNodeById(id)->IsM3Shape())
        c.Umbenennen(id, name);
      else
        c.Aendern(id)->Name = name;  // graphic shapes are not in the element list
    });
    Neuzeichnen();
    return;
  }
}

void TEditor::Suchen() {
  if (!FDok) return;
  QStringList namen;
  for (const std::string& n : Modell()->Liste.Names()) namen << Q(n);
  TSuchenDialog dlg(namen, FFenster);
  if (Ausfuehren(dlg) != QDialog::Accepted) return;
  const QString name = dlg.Gewaehlt();
  if (name.isEmpty()) return;
  TM3Model& m = *Modell();
  if (!m.FindNode(name.toStdString())) {
    FDialoge.Meldung(FFenster, Q(m.LetzteMeldung));
    return;
  }
  TCadShape* s = m.CurrentNode();
  if (s) {
    TAnsicht a = Ans();
    if (MakeVisible(*s, a)) FAnsicht->View().SetOrg(a.OrgX, a.OrgY);
    FAktuell = s->Id;
  }
  Gewaehlt(s ? s->Id : 0);
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::AusrichtenDialog() {
  if (!FDok) return;
  if (Modell()->Selection().size() < 2) {
    FDialoge.Meldung(FFenster, QString::fromUtf8(kMeldungZweiMarkieren));
    return;
  }
  TAusrichtenDialog dlg(FFenster);
  if (Ausfuehren(dlg) != QDialog::Accepted) return;
  const THorizontal h = dlg.H();
  const TVertikal v = dlg.V();
  const double g = FAnsicht->View().GridMinor();
  Bearbeite("Ausrichten", [&](TCommit& c) {
    Ausrichten(c.Model(), h, v, g, [&](TCadShape& s) { c.Aendern(s.Id); });
  });
  Neuzeichnen();
}

void TEditor::Grafikeinstellungen(uint64_t nurShape) {
  if (!FDok) return;
  std::vector<const TCadShape*> shapes;
  if (const TCadShape* s = Shape(nurShape)) {
    shapes.push_back(s);
  } else {
    for (const TCadShape* s : Modell()->Selection()) shapes.push_back(s);
    std::reverse(shapes.begin(), shapes.end());
  }
  if (shapes.empty()) return;
  std::vector<uint64_t> ids;
  for (const TCadShape* s : shapes) ids.push_back(s->Id);
  TGrafikDialog dlg(shapes, FDialoge, FFenster);
  if (Ausfuehren(dlg) != QDialog::Accepted) return;
  const TGrafikWerte w = dlg.Werte();
  const bool einzeln = ids.size() == 1;
  Bearbeite("Grafikeigenschaften", [&](TCommit& c) {
    for (uint64_t id : ids)
      if (TCadShape* s = c.Aendern(id)) TGrafikDialog::Anwenden(w, *s, einzeln);
    // A font chosen here is the default font for new shapes from now on:
    // the root carries it (and the model's default text font with it).
    if (w.SchriftGeaendert) {
      c.AendereModell();
      c.Model().Font = w.Schrift;
      if (TCadShape* root = c.Aendern(c.Model().Root())) root->Font = w.Schrift;
    }
  });
  Neuzeichnen();
}

void TEditor::Teilen(int sender) {
  if (!FDok || !Modell()->AnySelected()) return;
  std::string meldung;
  Bearbeite("Teilen", [&](TCommit& c) {
    for (TCadShape* s : c.Model().Selection()) {
      std::string m;
      TeileLink(*s, sender, Ans(), &m);
      if (!m.empty()) meldung = m;
    }
  });
  if (!meldung.empty()) FDialoge.Meldung(FFenster, Q(meldung));
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::Loesen(int art) {
  if (!FDok || !Modell()->AnySelected()) return;
  Bearbeite("Lösen", [&](TCommit& c) {
    TM3Model& m = c.Model();
    switch (art) {
      case 1:
        m.SelectedLoeseAbfluss();
        break;
      case 2:
        m.SelectedLoeseZufluesse();
        break;
      case 3:
        m.SelectedLoeseKUE();
        break;
      case 4:
        m.SelectedLoeseGEW();
        break;
      default:
        m.SelectedDeleteAllEdges();
        break;
    }
  });
  Neuzeichnen();
}

namespace {
void JedeAuswahl(TCommit& c, const std::function<void(TCadShape&)>& f) {
  for (TCadShape* s : c.Model().Selection()) f(*c.Aendern(s->Id));
}
}  // namespace

void TEditor::Fliessrichtung(int wohin) {
  Bearbeite("Fließrichtung",
            [&](TCommit& c) { JedeAuswahl(c, [&](TCadShape& s) { SetAusrichtung(s, wohin); }); });
  SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
  Neuzeichnen();
}

void TEditor::Spiegeln(bool horizontal) {
  Bearbeite("Spiegeln", [&](TCommit& c) {
    JedeAuswahl(c, [&](TCadShape& s) {
      if (horizontal)
        s.HGespiegelt = !s.HGespiegelt;
      else
        s.VGespiegelt = !s.VGespiegelt;
    });
  });
  SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
  Neuzeichnen();
}

void TEditor::Drehen() {
  Bearbeite("Drehen", [&](TCommit& c) { JedeAuswahl(c, [](TCadShape& s) { t21::Drehen(s); }); });
  SetzeWerkzeug(QString::fromUtf8(kEinzelauswahl));
  Neuzeichnen();
}

void TEditor::NachHintenSetzen() {
  if (!FDok) return;
  // Announced, so that the new drawing order is one undo step.
  Bearbeite("nach hinten setzen", [&](TCommit& c) {
    for (TCadShape* s : c.Model().Selection()) c.Aendern(s->Id);
    c.Model().SelectedNachHintenSetzen();
  });
  Neuzeichnen();
  emit AuswahlGeaendert();
}

void TEditor::Ausblenden() {
  Ansicht(5);
}

void TEditor::GeoReferenzierung() {
  if (!FDok || !Modell()->AnySelected()) return;
  Bearbeite("Rechts- und Hochwerte übernehmen", [&](TCommit& c) {
    JedeAuswahl(c, [](TCadShape&) {});
    c.Model().SelectedGeoReferenzierung();
  });
  if (const TCadShape* s = Modell()->LetzteSelektion()) {
    TAnsicht a = Ans();
    if (MakeVisible(*s, a)) FAnsicht->View().SetOrg(a.OrgX, a.OrgY);
  }
  Neuzeichnen();
}

void TEditor::Ansicht(int art) {
  if (!FDok) return;
  Bearbeite("Ausblenden", [&](TCommit& c) {
    TM3Model& m = c.Model();
    for (int i = 1; i < m.Count(); ++i) c.Aendern(m.GetNode(i)->Id);
    switch (art) {
      case 1:
        GrafikElementeAusblenden(m);
        break;
      case 2:
        M3ElementeAusblenden(m);
        break;
      case 3:
        m.KonfigurierteElementeAusblenden();
        break;
      case 4:
        OhneVerbindungAusblenden(m, Ans());
        break;
      case 5:
        SelectedAusblenden(m);
        break;
      default:
        VersteckteEinblenden(m);
        break;
    }
  });
  if (!Shape(FAktuell) || !Shape(FAktuell)->Visible) FAktuell = 0;
  Gewaehlt(0);
  Neuzeichnen();
  emit AuswahlGeaendert();
}

// ------------------------------------------------------------------ menus

void TEditor::MenuesAnlegen() {
  auto neu = [this](QMenu* m, const char* name, const char* text, auto&& f) {
    QAction* a = m->addAction(QString::fromUtf8(text));
    a->setObjectName(QString::fromUtf8(name));
    connect(a, &QAction::triggered, this, f);
    return a;
  };
  FObjekt = new QMenu(FFenster);
  FObjekt->setObjectName(QStringLiteral("Objektmenue"));
  neu(FObjekt, "Objekt_Editieren", "Editieren ...", [this] {
    uint64_t id = AktuellerShape();
    if (!id)
      if (const TCadShape* s = Modell()->LetzteSelektion()) id = s->Id;
    if (id) emit EditorOeffnen(id);
  });
  neu(FObjekt, "Objekt_Umbenennen", "Umbenennen...", [this] { Umbenennen(); });
  FObjekt->addSeparator();
  FVerbinden = FObjekt->addMenu(QStringLiteral("Verbinden"));
  FVerbinden->menuAction()->setObjectName(QStringLiteral("Objekt_Verbinden"));
  const std::pair<const char*, TVerbindeModus> modi[] = {
      {"Folgekomponente", TVerbindeModus::Parent},
      {"Klärüberlauf", TVerbindeModus::KUE},
      {"Beckenüberlauf", TVerbindeModus::BUE},
      {"Gewässer", TVerbindeModus::GEW},
      {"Regenschreiber", TVerbindeModus::REG}};
  for (const auto& [text, modus] : modi) {
    const TVerbindeModus m = modus;
    neu(FVerbinden, (std::string("Verbinden_") + text).c_str(), text, [this, m] { FModus = m; });
  }
  FLoesen = FObjekt->addMenu(QStringLiteral("Lösen "));
  FLoesen->menuAction()->setObjectName(QStringLiteral("Objekt_Loesen"));
  const std::pair<const char*, int> loesen[] = {{"Folgekomponente", 1},  {"Zuflüsse ", 2},
                                                {"Klärüberlauf", 3},     {"Regenschreiber", 3},
                                                {"Beckenüberlauf", 4},   {"Gewässerzuordnung", 4},
                                                {"alle Verbindungen", 5}};
  for (const auto& [text, art] : loesen) {
    const int a = art;
    neu(FLoesen, (std::string("Loesen_") + text).c_str(), text, [this, a] { Loesen(a); });
  }
  FTeilen = FObjekt->addMenu(QStringLiteral("Teilen"));
  FTeilen->menuAction()->setObjectName(QStringLiteral("Objekt_Teilen"));
  const std::pair<const char*, int> teilen[] = {{"Folgekomponente", 1},
                                                {"Klärberlauf", 2},
                                                {"Beckenüberlauf", 4},
                                                {"Gewässerzuordnung", 3},
                                                {"Regenschreiber", 5}};
  for (const auto& [text, sender] : teilen) {
    const int s = sender;
    neu(FTeilen, (std::string("Teilen_") + text).c_str(), text, [this, s] { Teilen(s); });
  }
  FRichtung = FObjekt->addMenu(QStringLiteral("Fließrichtung"));
  FRichtung->menuAction()->setObjectName(QStringLiteral("Objekt_Fliessrichtung"));
  const std::pair<const char*, int> richtung[] = {
      {"unten", 6}, {"rechts", 3}, {"links", 9}, {"oben", 12}};
  for (const auto& [text, w] : richtung) {
    const int r = w;
    neu(FRichtung, (std::string("Richtung_") + text).c_str(), text, [this, r] {
      Fliessrichtung(r);
    })->setCheckable(true);
  }
  FSpiegeln = FObjekt->addMenu(QStringLiteral("Spiegeln"));
  FSpiegeln->menuAction()->setObjectName(QStringLiteral("Objekt_Spiegeln"));
  neu(FSpiegeln, "Spiegeln_horizontal", "horizontal", [this] {
    Spiegeln(true);
  })->setCheckable(true);
  neu(FSpiegeln, "Spiegeln_vertikal", "vertikal", [this] { Spiegeln(false); })->setCheckable(true);
  neu(FObjekt, "Objekt_Ausrichten", "Ausrichten ...", [this] { AusrichtenDialog(); });
  neu(FObjekt, "Objekt_NachHinten", "nach hinten setzen", [this] { NachHintenSetzen(); });
  neu(FObjekt, "Objekt_Ausblenden", "Ausblenden", [this] { Ausblenden(); });
  neu(FObjekt, "Objekt_Loeschen", "Löschen ", [this] { Loeschen(); });
  FObjekt->addSeparator();
  neu(FObjekt, "Objekt_Drucken", "Drucken...", [] {})->setEnabled(false);
  neu(FObjekt, "Objekt_Grafik", "Grafikeigenschaften...", [this] { Grafikeinstellungen(); });
  FObjekt->addSeparator();
  neu(FObjekt, "Objekt_EreignisGrafik", "Ereignis-Grafik", [this] {
    if (const uint64_t id = AktuellerShape()) emit EreignisOeffnen(id, true);
  })->setEnabled(false);
  neu(FObjekt, "Objekt_EreignisTabelle", "Ereignis-Tabelle", [this] {
    if (const uint64_t id = AktuellerShape()) emit EreignisOeffnen(id, false);
  })->setEnabled(false);

  FZeichnung = new QMenu(FFenster);
  FZeichnung->setObjectName(QStringLiteral("Zeichnungsmenue"));
  neu(FZeichnung, "Zeichnung_AlleLoeschen", "alle löschen", [this] { AlleLoeschen(); });
  neu(FZeichnung, "Zeichnung_AlleMarkieren", "alle markieren", [this] { AlleMarkieren(); });
  neu(FZeichnung, "Zeichnung_Wurzel", "geschlossenes Siedlungsgebiet", [this] {
    uint64_t id = AktuellerShape();
    if (!id && Modell() && Modell()->Root()) id = Modell()->Root()->Id;
    if (id) emit EditorOeffnen(id);
  });
}

void TEditor::ObjektMenueAktualisieren() {
  if (!FDok) return;
  TShapeCounter z;
  SelectedCount(*Modell(), z);
  const auto sel = Modell()->Selection();
  auto finde = [this](const char* name) {
    return FObjekt->findChild<QAction*>(QString::fromUtf8(name));
  };
  const bool kue = z.RUE + z.RUB + z.RKB + z.OMA + z.YON + z.EST > 0;
  const bool bue = z.RUE + z.RUB + z.RKB + z.OMA + z.YON > 0;
  const bool gew = z.KER + z.KEM > 0;
  const bool reg = z.KER + z.KEM + z.KES + z.AEO > 0;
  const int verbindbar = z.DOT + z.KES + z.KEM + z.KER + z.RUE + z.RUB + z.RKB + z.KLG + z.OMA +
                         z.EST + z.CON + z.REG + z.REC + z.RAU + z.CIR + z.RRE + z.YON + z.AEO +
                         z.AEK + z.VFL + z.VBE + z.VMU + z.VRI + z.VSC;
  finde("Objekt_Editieren")->setEnabled(z.Total == 1);
  for (QMenu* m : {FVerbinden, FLoesen, FTeilen}) m->menuAction()->setEnabled(verbindbar > 0);
  FRichtung->menuAction()->setEnabled(verbindbar - z.DOT > 0);
  for (const char* n : {"Verbinden_Klärüberlauf", "Loesen_Klärüberlauf", "Teilen_Klärberlauf"})
    finde(n)->setEnabled(kue);
  for (const char* n :
       {"Verbinden_Beckenüberlauf", "Loesen_Beckenüberlauf", "Teilen_Beckenüberlauf"})
    finde(n)->setEnabled(bue);
  for (const char* n :
       {"Verbinden_Gewässer", "Loesen_Gewässerzuordnung", "Teilen_Gewässerzuordnung"})
    finde(n)->setEnabled(gew);
  for (const char* n : {"Verbinden_Regenschreiber", "Loesen_Regenschreiber"})
    finde(n)->setEnabled(reg);
  // A rain-gauge link is never split.
  finde("Teilen_Regenschreiber")->setEnabled(false);
  const TCadShape* unter = Shape(AktuellerShape());
  const bool ereignis = EreignisMoeglich && EreignisMoeglich() && unter && unter->IsM3Shape();
  finde("Objekt_EreignisGrafik")->setEnabled(ereignis);
  finde("Objekt_EreignisTabelle")->setEnabled(ereignis);
  const TCadShape* letzte = sel.empty() ? nullptr : sel.front();
  auto alle = [&](auto&& pred) {
    if (sel.empty()) return false;
    for (const TCadShape* s : sel)
      if (!pred(*s)) return false;
    return true;
  };
  finde("Spiegeln_horizontal")
      ->setChecked(letzte && letzte->HGespiegelt &&
                   alle([](const TCadShape& s) { return s.HGespiegelt; }));
  finde("Spiegeln_vertikal")
      ->setChecked(letzte && letzte->VGespiegelt &&
                   alle([](const TCadShape& s) { return s.VGespiegelt; }));
  const std::pair<const char*, int> richtung[] = {
      {"Richtung_unten", 6}, {"Richtung_rechts", 3}, {"Richtung_links", 9}, {"Richtung_oben", 12}};
  for (const auto& [n, w] : richtung) {
    const int r = w;
    finde(n)->setChecked(alle([r](const TCadShape& s) { return s.Ausrichtung == r; }));
  }
}

}  // namespace t21
