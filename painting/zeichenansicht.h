// The drawing view: a widget that shows a model through a view state,
// buffered (the picture is painted into an image when something changed and
// copied to the screen in one block), with the grid, the origin arrows,
// resizing, zooming with the mouse wheel around the cursor and the zoom
// steps of the view menu. It reads the model and never changes it.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "cad/ansicht.h"

class QPainter;

namespace t21 {

class TZeichenAnsicht : public QWidget {
  Q_OBJECT

 public:
  explicit TZeichenAnsicht(QWidget* parent = nullptr);

  // The model shown, or none. The caller keeps it alive while shown and
  // calls Neuzeichnen after changing it.
  void SetModel(const TCadModel* m);
  const TCadModel* Model() const { return FModel; }

  // The view state; its setters repaint the view.
  TCadView& View() { return FView; }
  const TCadView& View() const { return FView; }

  // The buffered picture is out of date: paint it again.
  void Neuzeichnen();
  // The picture as shown (painted now if out of date).
  const QImage& Puffer();

  // The zoom steps "1 %" ... "1024 %" by their index in kZoomStufen.
  void ZoomStufe(int index);
  void ZoomAll();
  // False without a selection (after a beep).
  bool ZoomSelected();

  // Painted on the screen over the buffered picture (a rubber band, the
  // segment being drawn); never part of the picture itself.
  std::function<void(QPainter&)> Overlay;

  // Wheel steps multiply the zoom by this per notch (120 units).
  static constexpr double kRadFaktor = 1.25;

 signals:
  // The view's origin or zoom changed (the overview and status bar follow).
  void AnsichtGeaendert();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void PufferMalen();

  const TCadModel* FModel = nullptr;
  TCadView FView;
  QImage FPuffer;
  bool FVeraltet = true;
};

}  // namespace t21
