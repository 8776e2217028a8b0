#include "framework/FrameworkClasses.h"

#include "framework/E_Class.h"
#include "framework/Elements.h"
#include "framework/E_type.h"
#include "framework/e_ElementModel.h"
#include "framework/e_InhMdl.h"
#include "framework/e_ToolModel.h"
#include "framework/T_Recurs.h"
#include "framework/T_advrcz.h"
#include "framework/T_loader.h"
#include "framework/T_saver.h"
#include "framework/T_select.h"
#include "framework/Tools.h"
#include "framework/Worlds.h"
#include "framework/e_SysReg.h"

void RegisterFrameworkClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterElementsClasses();
  RegisterClassUnitClasses();
  RegisterTypeClasses();
  RegisterElementModelClasses();
  RegisterToolModelClasses();
  RegisterWorldsClasses();
  RegisterSysRegClasses();
  RegisterInhMdlClasses();
  RegisterToolsClasses();
  RegisterRecursorClasses();
  RegisterSaverClasses();
  RegisterLoaderClasses();
  RegisterSelectClasses();
  RegisterAdvrczClasses();
}
