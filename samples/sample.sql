-- The bundled sample source: a small Oracle-style schema written for SQLite.
-- Types SQLite's grammar does not take as Oracle writes them are quoted
-- ("VARCHAR2(40 CHAR)"); SQLite keeps the quoted text as the declared type
-- and the source reads it as Oracle would (see sources/README.md).
-- Dates are stored in SQLite's ISO-8601 text form.
PRAGMA encoding = 'UTF-8';
BEGIN;

CREATE TABLE DEPARTMENTS (
  DEPT_ID     NUMBER(4) PRIMARY KEY,
  DEPT_NAME   VARCHAR2(30) NOT NULL,
  LOCATION    "VARCHAR2(40 CHAR)",
  BUDGET      NUMBER(12,2)
);

CREATE TABLE EMPLOYEES (
  EMP_ID      NUMBER(6) PRIMARY KEY,
  FIRST_NAME  VARCHAR2(20),
  LAST_NAME   VARCHAR2(25) NOT NULL,
  EMAIL       VARCHAR2(50) NOT NULL UNIQUE,
  HIRE_DATE   DATE NOT NULL,
  LAST_LOGIN  "TIMESTAMP(6) WITH TIME ZONE",
  DEPT_ID     NUMBER(4) REFERENCES DEPARTMENTS (DEPT_ID),
  MANAGER_ID  NUMBER(6)
);
CREATE INDEX EMP_DEPT_IX ON EMPLOYEES (DEPT_ID);
CREATE UNIQUE INDEX EMP_NAME_UK ON EMPLOYEES (LAST_NAME, FIRST_NAME);

CREATE TABLE SALARIES (
  EMP_ID      NUMBER(6) NOT NULL REFERENCES EMPLOYEES (EMP_ID),
  VALID_FROM  DATE NOT NULL,
  AMOUNT      NUMBER(10,2) NOT NULL,
  BONUS_RATE  NUMBER(5,4),
  CURRENCY    CHAR(3) DEFAULT 'EUR',
  PRIMARY KEY (EMP_ID, VALID_FROM)
);

CREATE TABLE PROJECT_ASSIGNMENT_HISTORY_OF_EMPLOYEES_WITH_BUDGET_CODES_ALL (
  ASSIGNMENT_ID   INTEGER PRIMARY KEY,
  EMP_ID          NUMBER(6) NOT NULL,
  PROJECT_CODE    VARCHAR2(12) NOT NULL,
  STARTED         DATE,
  HOURS           NUMBER(7,1)
);

CREATE TABLE DOCUMENTS (
  DOC_ID      NUMBER(6) PRIMARY KEY,
  TITLE       NVARCHAR2(100) NOT NULL,
  FORMAT      VARCHAR2(10),
  CONTENT     BLOB,
  SUMMARY     CLOB
);

INSERT INTO DEPARTMENTS VALUES
  (10, 'Administration', 'Zürich', 250000.00),
  (20, 'Research', 'Göteborg', 1250000.50),
  (30, '研发部', '北京', 880000.75),
  (40, 'Sales', NULL, NULL);

INSERT INTO EMPLOYEES VALUES
  (100, 'Ada', 'Lovelace', 'ada@example.com', '1998-06-17', '2024-03-01 08:15:30.250000', 10, NULL),
  (101, 'Søren', 'Kierkegaard', 'soren@example.com', '2001-02-05', NULL, 20, 100),
  (102, '明', '李', 'li.ming@example.com', '2010-09-01', '2024-02-29 23:59:59', 30, 100),
  (103, 'Grace', 'Hopper', 'grace@example.com', '1987-12-09 09:30:00', NULL, 20, 101),
  (104, 'José', 'Núñez', 'jose@example.com', '2019-04-15', NULL, 40, 100);

INSERT INTO SALARIES VALUES
  (100, '1998-06-17', 4200.00, 0.0500, 'EUR'),
  (100, '2005-01-01', 6100.50, 0.0750, 'EUR'),
  (101, '2001-02-05', 3900.25, NULL, 'DKK'),
  (102, '2010-09-01', 15000.00, 0.1250, 'CNY'),
  (103, '1987-12-09', 5000.99, 0.1000, 'USD');
INSERT INTO SALARIES (EMP_ID, VALID_FROM, AMOUNT) VALUES (104, '2019-04-15', 2750.10);

INSERT INTO PROJECT_ASSIGNMENT_HISTORY_OF_EMPLOYEES_WITH_BUDGET_CODES_ALL
    (EMP_ID, PROJECT_CODE, STARTED, HOURS) VALUES
  (100, 'ANALYTICAL', '1999-01-04', 120.5),
  (102, 'LONGMARCH', '2011-03-14', 800.0),
  (103, 'COBOL', '1988-05-02', 1540.0);

INSERT INTO DOCUMENTS VALUES
  (1, 'Plain text note', 'TXT',
   CAST('Meeting moved to Thursday, room 4.' || char(13, 10) || 'Bring the budget figures.' AS BLOB),
   'A plain ASCII note stored as binary.'),
  (2, 'UTF-8 text with byte-order mark', 'TXT',
   CAST(X'EFBBBF' || 'Grüße aus Zürich – 你好，世界' AS BLOB),
   'UTF-8 text that starts with EF BB BF.'),
  (3, '年度报告', 'RTF',
   CAST('{\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss Arial;}}' || char(10) ||
        '\f0\fs20 Annual report \b 2024\b0 : revenue up \i 12%\i0 .\par' || char(10) || '}' AS BLOB),
   'An RTF document.'),
  (4, 'Empty', NULL, NULL, NULL);

COMMIT;
