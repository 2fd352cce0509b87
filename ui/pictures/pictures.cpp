#include "ui/pictures/pictures.h"

#include <QtCore/qglobal.h>

void zolvant_init_pictures()
{
    // Registers the resources compiled by rcc under the name "pictures";
    // Qt ignores a second registration of the same data.
    Q_INIT_RESOURCE(pictures);
}
