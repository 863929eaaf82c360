// A compact text form of statement trees, written for the tests so a table
// of cases can state each expected tree in one line:
//   TABLE EMP: ID Double, NAME Text(40) not-null; PK[PK_EMP](ID)
//   INDEX IX ON EMP (LAST, FIRST desc) unique
//   SELECT *, ID, 1, 'x', null FROM EMP empty
#pragma once

#include <string>

#include "jet_sql/statement.h"

namespace fennick::jet::sql::test {

std::string treeText(const Statement& statement);

}  // namespace fennick::jet::sql::test
