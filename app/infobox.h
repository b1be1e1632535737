// The information box "QTZ Tamkor21": product, version, the line of the
// guidelines and the support contact, with one button.
#pragma once

#include <QDialog>

class QPushButton;
class QTimer;

namespace t21 {

inline constexpr const char* kVersion = "Version 1.2 - (260803)";
inline constexpr int kInfoSchliessenNachMs = 30000;

class TInfoBox : public QDialog {
  Q_OBJECT

 public:
  // At start the button reads "&Start", the sound file klang plays when it
  // exists and a sound device is there, and the box closes itself after 30
  // seconds; opened from the menu it reads "OK", stays and is silent.
  TInfoBox(QWidget* parent, bool start, const QString& klang = {});
  // Whether the start sound was started.
  bool Klingt() const { return FKlingt; }
  QPushButton* Knopf() const { return FKnopf; }
  QTimer* Zeitgeber() const { return FZeit; }

 private:
  QPushButton* FKnopf;
  QTimer* FZeit = nullptr;
  bool FKlingt = false;
};

}  // namespace t21
