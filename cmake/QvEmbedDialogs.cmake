# Writes a source file that registers the dialog script IN with the module it is built into.
file(READ "${IN}" text)
string(FIND "${text}" ")qvdialogs\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} holds the text that ends the embedded script")
endif()
file(WRITE "${OUT}.tmp" "// Built from ${NAME}.dlg; do not edit.
#include \"platform/core/module.h\"
#include \"platform/ui/win/dialogtemplate.h\"

namespace {
const char kScript[] = R\"qvdialogs(${text})qvdialogs\";
__attribute__((constructor)) void RegisterScript() {
  RegisterDialogScript(GetModuleFromAddress(reinterpret_cast<const void*>(&RegisterScript)), \"${NAME}.dlg\", kScript);
}
}  // namespace
")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
