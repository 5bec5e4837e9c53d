// OrbelMain: the viewer's one application object and its entry.

#include "viewer/app/CMainApp.h"

namespace {

CMainApp theApp;

}  // namespace

int main(int argc, char** argv) {
  theApp.SetArguments(argc, argv);
  return AfxWinMain(argc, argv);
}
