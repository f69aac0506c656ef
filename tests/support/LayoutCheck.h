#pragma once

#include <QStringList>

class QWidget;

namespace LayoutCheck {

// What a person sees of a window or panel: every visible direct child of `container` lies inside it, none overlaps
// another (except the pairs named "a/b" in `mayOverlap`), and every label and button shows its whole single-line
// text. Inside a titled box (QGroupBox) the children lie within its drawn frame. Fails the current test itself, naming the control; returns false then, so the caller can stop.
bool nothingCutOff(QWidget* container, const QStringList& mayOverlap = {});

// Each visible label, button and tick box anywhere below `root` shows its whole single-line text.
bool textsFit(QWidget* root);

} // namespace LayoutCheck
