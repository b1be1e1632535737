#include "painting/zeichenansicht.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include "painting/maler.h"

namespace t21 {

TZeichenAnsicht::TZeichenAnsicht(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::WheelFocus);
  resize(200, 100);
  FView.SetGroesse(width(), height());
  FView.Neuzeichnen = [this] {
    Neuzeichnen();
    emit AnsichtGeaendert();
  };
}

void TZeichenAnsicht::SetModel(const TCadModel* m) {
  FModel = m;
  Neuzeichnen();
}

void TZeichenAnsicht::Neuzeichnen() {
  FVeraltet = true;
  update();
}

void TZeichenAnsicht::PufferMalen() {
  const QSize groesse(std::max(1, FView.Width()), std::max(1, FView.Height()));
  if (FPuffer.size() != groesse) FPuffer = QImage(groesse, QImage::Format_RGB32);
  QPainter p(&FPuffer);
  MaleAnsicht(p, FModel, FView, FView.Ansicht());
  FVeraltet = false;
}

const QImage& TZeichenAnsicht::Puffer() {
  // A widget not yet shown gets its resize event late.
  FView.SetGroesse(width(), height());
  if (FVeraltet || FPuffer.isNull()) PufferMalen();
  return FPuffer;
}

void TZeichenAnsicht::paintEvent(QPaintEvent* e) {
  const QImage& bild = Puffer();
  QPainter p(this);
  p.drawImage(e->rect().topLeft(), bild, e->rect());
  if (Overlay) Overlay(p);
}

void TZeichenAnsicht::resizeEvent(QResizeEvent* e) {
  FView.SetGroesse(e->size().width(), e->size().height());
  QWidget::resizeEvent(e);
}

void TZeichenAnsicht::wheelEvent(QWheelEvent* e) {
  const int stufen = e->angleDelta().y();
  if (stufen == 0) {
    e->ignore();
    return;
  }
  const QPoint pos = e->position().toPoint();
  FView.ZoomUm(std::pow(kRadFaktor, stufen / 120.0), {pos.x(), pos.y()});
  e->accept();
}

void TZeichenAnsicht::ZoomStufe(int index) {
  if (index >= 0 && index < static_cast<int>(kZoomStufen.size()))
    FView.SetZoom(kZoomStufen[static_cast<size_t>(index)]);
}

void TZeichenAnsicht::ZoomAll() {
  if (FModel) FView.ZoomAll(*FModel);
}

bool TZeichenAnsicht::ZoomSelected() {
  if (!FModel || !FView.ZoomSelected(*FModel)) {
    QApplication::beep();
    return false;
  }
  return true;
}

}  // namespace t21
