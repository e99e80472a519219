#include <QApplication>

#include "app/CmainApp.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  tolvane::CmainApp program;
  return program.InitInstance();
}
