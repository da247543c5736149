#include "platform/Exceptions.h"

void Abort()
{
    throw EAbort("Operation aborted");
}
