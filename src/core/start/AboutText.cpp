#include "start/AboutText.h"

#include "Seams.h"
#include "start/CommandLine.h"

namespace tolvane {

std::string AboutText(const AppSettings& settings, const std::string& qtVersion) {
  return std::string(kAppName) + " (Tolvane) バージョン " + ProgramVersion() +
         "\n"
         "FTPサーバーへWebサイトのファイルをアップロードします。\n"
         "\n"
         "使用中のフォルダ:\n" +
         settings.exeFolder +
         "\n"
         "\n"
         "ライセンス: MIT License\n"
         "Copyright (c) Tolvane developers\n"
         "\n"
         "Qt " +
         qtVersion +
         " を使用しています（GNU LGPL v3）。\n"
         "Qt は The Qt Company Ltd. とその貢献者による著作物です。";
}

}  // namespace tolvane
