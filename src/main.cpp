#include <QApplication>

#include "App.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  tolvane::App program;
  return program.InitInstance();
}
