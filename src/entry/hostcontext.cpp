#include "hostcontext.h"

HostContext &HostContext::instance()
{
    static HostContext context;
    return context;
}
