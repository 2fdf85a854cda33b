#pragma once

#include <QIcon>

// Tool-bar pictures the windows share, drawn rather than shipped.
namespace ToolIcons {
QIcon print();
QIcon workbook();
QIcon design();
QIcon query();
} // namespace ToolIcons
