// Opening a background-image database and exporting the picture as BMP.
#pragma once

void LoadVTPDB();
void ExportImg();
