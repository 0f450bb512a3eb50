/* The library that the dependent test plugin imports; it lives only in that plugin's folder. */
#include <windows.h>

__declspec(dllexport) int DependencyCaps(void)
{
    return 3;
}
