// The record access layer in one include: connections, recordsets, fields, errors and the exception.
#pragma once

#include "shared/ado_connection.h"
#include "shared/ado_exception.h"
#include "shared/ado_recordset.h"
#include "shared/variant.h"
