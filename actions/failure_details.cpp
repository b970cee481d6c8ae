#include "actions/failure_details.h"

char failedFile[260];
char failedRegistryValue[FAILED_REGISTRY_VALUE_SIZE];
