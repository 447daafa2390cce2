#include "gis/Contours.h"
#include <QPainter>
#include <QWidget>
