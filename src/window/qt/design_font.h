#pragma once

#include <QFont>

class QWidget;

namespace farlous {

// The system's dialog font family at the design's size, made smaller in half points while that
// family is too wide for a caption that the design fixes (the design was drawn for a narrow
// family: the wide ones would cut "A Propos de Glimbo").
QFont DesignFont(const QWidget& window);

}  // namespace farlous
