// The box that offers a run of the journal that ended without its end record
// (killed, or its machine went down): take it back, dismiss it (end it without
// undoing it), or leave it for now.
#pragma once

#include <QString>

class QWidget;

namespace velmora {

enum class RunOffer { kTakeBack, kDismiss, kLeave };

// Shows text with the buttons takeBack, "&Verwerfen" and leave; closing the
// box leaves the run.
RunOffer OfferRun(QWidget* parent, const QString& text, const QString& takeBack,
                  const QString& leave);

}  // namespace velmora
