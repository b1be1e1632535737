// The verification report: one page, for some kinds two, per chosen network
// element, drawn directly onto a page in page coordinates measured in inches
// (a letter-size page of 8.5 x 11 inches scaled to the canvas).
#pragma once

#include <QPainter>
#include <string>
#include <vector>

#include "model/network.h"

namespace t21 {

// Options of the selection dialog that the pages read.
struct TNachweisOptionen {
  bool A128Ausblenden = false;  // "A128-Ergebnisse ausblenden"
  std::string Benutzer;         // the designer's name on the project page
};

// Whether the element of this type code has a second page: discharge points,
// CSO tanks, clarifiers and every catchment. The preview and the print
// command both ask here.
bool ZweiSeiten(const std::string& typ);

// Draws part `teil` (1 or 2) of the n-th (1-based) of the chosen shapes onto
// p, with the pixels per inch of the page, then the footer "Element  n  von
// N". A rain gauge gives an empty page without footer.
void ZeichneNachweisseite(QPainter& p, TM3Model& m, const std::vector<TCadShape*>& liste, int n,
                          double ppiY, double ppiX, int teil, const TNachweisOptionen& o = {});

// The chosen shapes of a report: the names given (unknown ones and rain
// gauges dropped, reported in `unbekannt`), else the model's print list,
// else every element shape but the rain gauges, in model order.
std::vector<TCadShape*> Druckliste(const TM3Model& m, const std::vector<std::string>& namen,
                                   std::vector<std::string>* unbekannt = nullptr);

}  // namespace t21
