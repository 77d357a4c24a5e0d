#pragma once
// The application icon (paquet/icones/tarvenor.svg, rendered to PNG sizes
// and built in as resources), for the windows and the task bar.

#include <QIcon>

QIcon iconeTarvenor();
