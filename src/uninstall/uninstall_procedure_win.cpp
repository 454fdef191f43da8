#include "uninstall/uninstall_procedure.h"

int runUninstall()
{
    return -1;
}
