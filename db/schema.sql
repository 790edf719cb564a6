-- Kelmora database schema.  Character set gbk throughout; table names are
-- lower case (the server runs with lower_case_table_names=1 because the
-- program spells some of them in mixed case).
-- Soft deletion: bRecyle = 1 puts a row in the recycle bin (t_recyle indexes
-- it); houses and clients purged from the bin keep their row with bDeleted = 1.

CREATE TABLE t_house (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iEst          INT NOT NULL DEFAULT 0,
  szBuildNO     VARCHAR(64)  NULL,
  szHouseNO     VARCHAR(64)  NULL,
  szHouseNum    VARCHAR(64)  NULL,
  iEmp          INT NOT NULL DEFAULT 0,
  iBr           INT NOT NULL DEFAULT 0,
  szTrade       VARCHAR(64)  NULL,
  dDelegate     DATE NULL,
  dBuy          DATE NULL,
  dRent         DATE NULL,
  dtFollow      DATETIME NULL,
  dtUpdate      DATETIME NULL DEFAULT CURRENT_TIMESTAMP,
  dtLastUpdate  DATETIME NULL,
  szRingArea    VARCHAR(64)  NULL,
  szDist        VARCHAR(64)  NULL,
  szFloor       VARCHAR(32)  NULL,
  iFloorT       INT NOT NULL DEFAULT 0,
  dbBuildArea   DECIMAL(12,2) NOT NULL DEFAULT 0,
  szRoomType    VARCHAR(32)  NULL,
  iBed          INT NOT NULL DEFAULT 0,
  iLiving       INT NOT NULL DEFAULT 0,
  iBath         INT NOT NULL DEFAULT 0,
  iVeranda      INT NOT NULL DEFAULT 0,
  szToward      VARCHAR(64)  NULL,
  szDecoration  VARCHAR(64)  NULL,
  szLayout      VARCHAR(64)  NULL,
  szStatusquo   VARCHAR(64)  NULL,
  szLook        VARCHAR(64)  NULL,
  szMortgage    VARCHAR(64)  NULL,
  szPark        VARCHAR(64)  NULL,
  szSign        VARCHAR(64)  NULL,
  szBuildType   VARCHAR(64)  NULL,
  szBuildStruct VARCHAR(64)  NULL,
  szHouseType   VARCHAR(64)  NULL,
  szHouseStruct VARCHAR(64)  NULL,
  iSales        INT NOT NULL DEFAULT 0,
  iSalesAve     INT NOT NULL DEFAULT 0,
  iSalesBase    INT NOT NULL DEFAULT 0,
  iRent         INT NOT NULL DEFAULT 0,
  iRentBase     INT NOT NULL DEFAULT 0,
  dbRentAve     DECIMAL(12,2) NOT NULL DEFAULT 0,
  szLinkMan     VARCHAR(64)  NULL,
  szLinkTel     VARCHAR(512) NULL,
  szOwnerMan    VARCHAR(256) NULL,
  szOwnerTel    VARCHAR(512) NULL,
  szCitizen     VARCHAR(64)  NULL,
  szPPTSource   VARCHAR(64)  NULL,
  szHPC         VARCHAR(256) NULL,
  szRemark      VARCHAR(1024) NULL,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  bDeleted      TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of the house form: a save names the version its
  -- form loaded, so a desk never overwrites another desk's save unseen.
  iVersion      INT NOT NULL DEFAULT 0,
  -- The urban area of the house's estate, kept by the triggers below (the
  -- key of the list of one urban area, read in the list's order).
  iUrban        INT NOT NULL DEFAULT 0,
  -- The house list's indexes (kept in step with db/schema.cpp, which
  -- rebuilds them on an older database): the list is read newest
  -- commission first, so the order columns are stored descending and the
  -- list is read forwards; the columns the broad filters and the scopes
  -- test (trade, prices, area, bedrooms, branch, employee) follow them, so
  -- the server rejects a row on the index entry and reads only the rows it
  -- returns.
  KEY ix_house_list (bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed, iBr, iEmp),
  -- One house a room, counting the recycle bin and purged houses: a key,
  -- so two desks adding the same room at the same moment store one.
  UNIQUE KEY ux_house_room (iEst, szBuildNO, szHouseNO),
  KEY ix_house_est_list (iEst, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed),
  KEY ix_house_emp_list (iEmp, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed),
  KEY ix_house_br_list (iBr, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed),
  KEY ix_house_trade (szTrade, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, iSales, iRent, dbBuildArea, iBed),
  KEY ix_house_urban_list (iUrban, bRecyle, dDelegate DESC, dtFollow DESC, dtUpdate DESC, szTrade, iSales, iRent, dbBuildArea, iBed),
  -- Matching a client: the houses of a trade within a price bracket, the
  -- other criteria and the scopes tested on the index entry.
  KEY ix_house_sale (szTrade, bRecyle, iSales, iRent, dbBuildArea, iBed, iEmp, iBr, iEst, szDist),
  KEY ix_house_rent (szTrade, bRecyle, iRent, iSales, dbBuildArea, iBed, iEmp, iBr, iEst, szDist),
  KEY ix_house_rentdate (dRent),
  KEY ix_house_follow (dtFollow),
  KEY ix_house_linktel (szLinkTel(48)),
  KEY ix_house_ownertel (szOwnerTel(48))
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_client (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  szClientNum   VARCHAR(64)  NULL,
  szTrade       VARCHAR(64)  NULL,
  iMinBuy       INT NOT NULL DEFAULT 0,
  iMaxBuy       INT NOT NULL DEFAULT 0,
  iMinRent      INT NOT NULL DEFAULT 0,
  iMaxRent      INT NOT NULL DEFAULT 0,
  iMinArea      INT NOT NULL DEFAULT 0,
  iMaxArea      INT NOT NULL DEFAULT 0,
  iMinRoom      INT NOT NULL DEFAULT 0,
  iMaxRoom      INT NOT NULL DEFAULT 0,
  szUrban       VARCHAR(128) NULL,
  szHouseType   VARCHAR(64)  NULL,
  szFloor       VARCHAR(64)  NULL,
  szToward      VARCHAR(64)  NULL,
  szDecoration  VARCHAR(64)  NULL,
  szLayout      VARCHAR(64)  NULL,
  szUsage       VARCHAR(64)  NULL,
  szLevel       VARCHAR(64)  NULL,
  szSource      VARCHAR(64)  NULL,
  szPayment     VARCHAR(64)  NULL,
  szAgencyFee   VARCHAR(64)  NULL,
  szCliMan      VARCHAR(256) NULL,
  szCliTel      VARCHAR(512) NULL,
  szLinkMan     VARCHAR(256) NULL,
  szLinkTel     VARCHAR(512) NULL,
  szCitizen     VARCHAR(64)  NULL,
  szDelegatePD  VARCHAR(64)  NULL,
  dDelegate     DATE NULL,
  iBr           INT NOT NULL DEFAULT 0,
  iEmp          INT NOT NULL DEFAULT 0,
  szRemark      VARCHAR(1024) NULL,
  dtUpdate      DATETIME NULL DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP,
  dtFollow      DATETIME NULL,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  bDeleted      TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of the client form (as for houses).
  iVersion      INT NOT NULL DEFAULT 0,
  KEY ix_client_list (bRecyle, dtUpdate),
  KEY ix_client_order (bRecyle, dtFollow, dtUpdate),
  KEY ix_client_clitel (szCliTel(48)),
  KEY ix_client_linktel (szLinkTel(48)),
  KEY ix_client_emp_list (iEmp, bRecyle, dtFollow, dtUpdate),
  KEY ix_client_br_list (iBr, bRecyle, dtFollow, dtUpdate),
  KEY ix_client_trade (szTrade, bRecyle, dtFollow, dtUpdate),
  KEY ix_client_urban (szUrban, bRecyle, dtFollow, dtUpdate),
  -- Matching a house: the clients of the trades that meet it, their
  -- budgets, ranges, places and scopes tested on the index entry.
  KEY ix_client_match (szTrade, bRecyle, iMinBuy, iMaxBuy, iMinRent, iMaxRent, iMinArea, iMaxArea, iMinRoom, iMaxRoom, iEmp, iBr, szUrban),
  KEY ix_client_delegate (dDelegate),
  KEY ix_client_follow (dtFollow)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_follow (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iHou          INT NOT NULL DEFAULT 0,
  iCli          INT NOT NULL DEFAULT 0,
  iEmp          INT NOT NULL DEFAULT 0,
  iBr           INT NOT NULL DEFAULT 0,
  szWay         VARCHAR(64)  NULL,
  szContent     VARCHAR(1024) NULL,
  dtFollow      DATETIME NULL,
  dtLastUpdate  DATETIME NULL,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0,
  KEY ix_follow_hou (iHou, bRecyle),
  KEY ix_follow_cli (iCli, bRecyle),
  KEY ix_follow_time (dtFollow)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_remind (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  dRemind       DATE NULL,
  szContent     VARCHAR(256) NULL,
  iRange        INT NOT NULL DEFAULT 0,
  iHou          INT NOT NULL DEFAULT 0,
  iCli          INT NOT NULL DEFAULT 0,
  iBr           INT NOT NULL DEFAULT 0,
  iEmp          INT NOT NULL DEFAULT 0,
  KEY ix_remind_day (dRemind)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_reminddated (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iEmp          INT NOT NULL DEFAULT 0,
  iRemind       INT NOT NULL DEFAULT 0,
  KEY ix_reminddated (iEmp, iRemind)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_estate (
  iOrdinal          INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iUrban            INT NOT NULL DEFAULT 0,
  iPriority         INT NOT NULL DEFAULT 0,
  szEstate          VARCHAR(128) NULL,
  szSpell           VARCHAR(64)  NULL,
  szAddress         VARCHAR(256) NULL,
  szDist            VARCHAR(64)  NULL,
  szRingArea        VARCHAR(64)  NULL,
  szIntersection    VARCHAR(256) NULL,
  szHouseType       VARCHAR(64)  NULL,
  szHouseStruct     VARCHAR(64)  NULL,
  szHouseUsage      VARCHAR(64)  NULL,
  szBuildType       VARCHAR(64)  NULL,
  szBuildStruct     VARCHAR(64)  NULL,
  szBuildYear       VARCHAR(64)  NULL,
  iCoversArea       INT NOT NULL DEFAULT 0,
  iBuildArea        INT NOT NULL DEFAULT 0,
  iRoom             INT NOT NULL DEFAULT 0,
  iVolume           INT NOT NULL DEFAULT 0,
  iVacancy          INT NOT NULL DEFAULT 0,
  iAfforest         INT NOT NULL DEFAULT 0,
  iBuild            INT NOT NULL DEFAULT 0,
  iHouse            INT NOT NULL DEFAULT 0,
  iPark             INT NOT NULL DEFAULT 0,
  iImg              INT NOT NULL DEFAULT 0,
  szDevCom          VARCHAR(256) NULL,
  szBuildCom        VARCHAR(256) NULL,
  szMgCom           VARCHAR(256) NULL,
  szSalesAddress    VARCHAR(256) NULL,
  szSalesTel        VARCHAR(128) NULL,
  szMgAddress       VARCHAR(256) NULL,
  szMgTel           VARCHAR(128) NULL,
  szOpenDate        VARCHAR(64)  NULL,
  iOpenAvePrice     INT NOT NULL DEFAULT 0,
  szHandOverDate    VARCHAR(64)  NULL,
  szHandoverStandard VARCHAR(256) NULL,
  szWorkTime        VARCHAR(128) NULL,
  szLandCategory    VARCHAR(64)  NULL,
  szLandSource      VARCHAR(64)  NULL,
  szLandUsage       VARCHAR(64)  NULL,
  szUsePeriod       VARCHAR(64)  NULL,
  szTransferDate    VARCHAR(64)  NULL,
  szTransferPrice   VARCHAR(64)  NULL,
  szFloorPrice      VARCHAR(64)  NULL,
  dMgPrice          DECIMAL(12,2) NOT NULL DEFAULT 0,
  dParkRentPrice    DECIMAL(12,2) NOT NULL DEFAULT 0,
  dtLastUpdate      DATETIME NULL,
  bRecyle           TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0,
  KEY ix_estate_urban (iUrban, szEstate),
  KEY ix_estate_name (szEstate),
  KEY ix_estate_list (bRecyle, iPriority)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_buildno (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iEst          INT NOT NULL DEFAULT 0,
  iBuildNO      INT NOT NULL DEFAULT 0,
  iLift         INT NOT NULL DEFAULT 0,
  iHouse        INT NOT NULL DEFAULT 0,
  iFloort       INT NOT NULL DEFAULT 0,
  szBuildStruct VARCHAR(64) NULL,
  szBuildType   VARCHAR(64) NULL,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0,
  KEY ix_buildno_est (iEst, iBuildNO)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_param (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iParentIndex  INT NOT NULL DEFAULT 0,
  szTags        VARCHAR(64)  NULL,
  szName        VARCHAR(64)  NULL,
  szValue       VARCHAR(128) NULL,
  iPriority     INT NOT NULL DEFAULT 0,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0,
  KEY ix_param_parent (iParentIndex, iPriority)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_urban (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iParentIndex  INT NOT NULL DEFAULT 0,
  szUrban       VARCHAR(64) NULL,
  iPriority     INT NOT NULL DEFAULT 0,
  bActive       TINYINT NOT NULL DEFAULT 1,
  bDeleted      TINYINT NOT NULL DEFAULT 0,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0,
  KEY ix_urban_parent (iParentIndex, szUrban)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_district (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iParentIndex  INT NOT NULL DEFAULT 0,
  szDistrict    VARCHAR(64) NULL,
  iPriority     INT NOT NULL DEFAULT 0,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0,
  KEY ix_district_parent (iParentIndex, szDistrict)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_branch (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  szNum         VARCHAR(64)  NULL,
  szBr          VARCHAR(128) NULL,
  szBLN         VARCHAR(64)  NULL,
  szHou_PF      VARCHAR(16)  NULL,
  szCli_PF      VARCHAR(16)  NULL,
  szCTCT_PF     VARCHAR(40)  NULL,
  szCMSS_PF     VARCHAR(40)  NULL,
  szTel         VARCHAR(128) NULL,
  szEmail       VARCHAR(128) NULL,
  szAdd         VARCHAR(572) NULL,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0,
  KEY ix_branch_name (szBr)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_employee (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  szNum         VARCHAR(64)  NULL,
  szEmp         VARCHAR(64)  NULL,
  -- A salted hash of the password ("$pbkdf2-sha256$..."); an older
  -- database's enciphered one until its employee's next login.
  szPwd         VARCHAR(512) NULL,
  iBr           INT NOT NULL DEFAULT 0,
  iPst          INT NOT NULL DEFAULT 0,
  szCardNO      VARCHAR(256) NULL,
  szSex         VARCHAR(16)  NULL,
  szBirthday    VARCHAR(32)  NULL,
  szKoseki      VARCHAR(128) NULL,
  szEdu         VARCHAR(64)  NULL,
  szCertificate VARCHAR(256) NULL,
  szEnrollment  VARCHAR(32)  NULL,
  szStatus      VARCHAR(64)  NULL,
  bSalesMan     TINYINT NOT NULL DEFAULT 0,
  szTel         VARCHAR(512) NULL,
  szEmail       VARCHAR(128) NULL,
  szAdd         VARCHAR(256) NULL,
  szResume      VARCHAR(1024) NULL,
  szRemark      VARCHAR(1024) NULL,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  -- Written by every change that gives the employee a house, a client or
  -- a transfer, in that change's transaction: such a change and the
  -- employee's deletion write the same row, so one of them waits for (or,
  -- on a cluster, is refused by) the other and a deleted employee is never
  -- given work.
  iAssigned     INT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0,
  -- 1: the password was given to the employee (a reset, the seed) and he
  -- chooses his own at his next login.
  bPwdChange    TINYINT NOT NULL DEFAULT 0,
  KEY ix_employee_br (iBr, szNum),
  KEY ix_employee_name (szEmp)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_position (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  szPST         VARCHAR(64)  NULL,
  iBasePay      INT NOT NULL DEFAULT 0,
  iLevel        INT NOT NULL DEFAULT 0,
  szDescribe    VARCHAR(512) NULL,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_popedom (
  iOrdinal          INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iEmp              INT NULL DEFAULT 0,
  iPst              INT NULL DEFAULT 0,
  szValue           VARCHAR(1100) NULL,
  iCliReadRecordMax INT NOT NULL DEFAULT 0,
  iHouReadRecordMax INT NOT NULL DEFAULT 0,
  KEY ix_popedom_emp (iEmp),
  KEY ix_popedom_pst (iPst)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_log (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iAct          INT NOT NULL DEFAULT 0,
  iObjType      INT NOT NULL DEFAULT 0,
  iObjID        INT NOT NULL DEFAULT 0,
  iOpEmp        INT NOT NULL DEFAULT 0,
  szValue       VARCHAR(2048) NULL,
  dtAdd         DATETIME NULL DEFAULT CURRENT_TIMESTAMP,
  iEmp          INT NOT NULL DEFAULT 0,
  bRecyle       TINYINT NOT NULL DEFAULT 0,
  KEY ix_log_time (dtAdd),
  KEY ix_log_obj (iObjType, iObjID),
  KEY ix_log_emp (iEmp, bRecyle),
  -- The log's filters by operator and by kind, each read newest first.
  KEY ix_log_opemp (iOpEmp, dtAdd),
  KEY ix_log_kind (iObjType, dtAdd)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

-- Telephone views ("看电话"): one row per view of a house's (iObjType 0)
-- or client's (1) telephones, numbered per employee, day and kind; a
-- user's daily limit counts the rows of his day.
CREATE TABLE t_telview (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iEmp          INT NOT NULL DEFAULT 0,
  iObjType      INT NOT NULL DEFAULT 0,
  iObjID        INT NOT NULL DEFAULT 0,
  dDay          DATE NOT NULL,
  iSeq          INT NOT NULL DEFAULT 0,
  dtAdd         DATETIME NULL DEFAULT CURRENT_TIMESTAMP,
  UNIQUE KEY ux_telview_day (iEmp, dDay, iObjType, iSeq)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

-- Every client telephone (as stored, enciphered) belongs to one client,
-- counting the recycle bin and purged clients: written in the client's own
-- transaction, its key holds when two desks store the same telephone at the
-- same moment.
CREATE TABLE t_clienttel (
  szTel         VARCHAR(256) NOT NULL PRIMARY KEY,
  iCli          INT NOT NULL,
  KEY ix_clienttel_cli (iCli)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_recyle (
  iOrdinal      INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  iObjType      INT NOT NULL DEFAULT 0,
  iObjOrdinal   INT NOT NULL DEFAULT 0,
  iEmp          INT NOT NULL DEFAULT 0,
  dtRecyle      DATETIME NULL DEFAULT CURRENT_TIMESTAMP,
  KEY ix_recyle_obj (iObjType, iObjOrdinal)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_sys (
  iOrdinal              INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  bNumManualWrite       TINYINT NOT NULL DEFAULT 0,
  bHouArea              TINYINT NOT NULL DEFAULT 0,
  bHouPrice             TINYINT NOT NULL DEFAULT 0,
  bHouOwner             TINYINT NOT NULL DEFAULT 0,
  bHouDeniedRepetition  TINYINT NOT NULL DEFAULT 0,
  bHouCipher            TINYINT NOT NULL DEFAULT 0,
  bCliLinkTel           TINYINT NOT NULL DEFAULT 0,
  bCliDeniedRepetition  TINYINT NOT NULL DEFAULT 0,
  bCliCipher            TINYINT NOT NULL DEFAULT 0,
  bAttendance           TINYINT NOT NULL DEFAULT 0,
  bIntegrityRule        TINYINT NOT NULL DEFAULT 0,
  dwBmpMaxSize          INT NOT NULL DEFAULT 0,
  bActive               TINYINT NOT NULL DEFAULT 1,
  -- Raised by every save of its form: a save names the version it loaded.
  iVersion      INT NOT NULL DEFAULT 0
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE t_company (
  iOrdinal       INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  szName         VARCHAR(256) NULL,
  szShowName     VARCHAR(256) NULL,
  szAdd          VARCHAR(256) NULL,
  szTel          VARCHAR(256) NULL,
  szReTel        VARCHAR(256) NULL,
  szFax          VARCHAR(256) NULL,
  szRemoteIP1    VARCHAR(64)  NULL,
  szRemoteIP2    VARCHAR(64)  NULL,
  szRemoteIP3    VARCHAR(64)  NULL,
  szRemotePort1  VARCHAR(16)  NULL,
  szRemotePort2  VARCHAR(16)  NULL,
  szRemotePort3  VARCHAR(16)  NULL,
  szBakPath      VARCHAR(260) NULL,
  bAutoBak       TINYINT NOT NULL DEFAULT 0,
  iBakTime       INT NOT NULL DEFAULT 0,
  iCityOrdinal   INT NOT NULL DEFAULT 0,
  szUrbanOrdinal VARCHAR(64)  NULL,
  bShareType     TINYINT NOT NULL DEFAULT 0
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

-- A house's urban area follows its estate's, whoever writes the rows: set
-- when a house is added or saved, and moved with an estate given another
-- urban area (an urban-area merge moves its estates).  Only an estate whose
-- urban area changes touches its houses, so the guarded estate changes that
-- count houses in the same statement run as before.
CREATE TRIGGER tr_house_urban_add BEFORE INSERT ON t_house FOR EACH ROW
BEGIN
  SET NEW.iUrban = IFNULL((SELECT iUrban FROM t_estate WHERE iOrdinal = NEW.iEst), 0);
END;

CREATE TRIGGER tr_house_urban_save BEFORE UPDATE ON t_house FOR EACH ROW
BEGIN
  SET NEW.iUrban = IFNULL((SELECT iUrban FROM t_estate WHERE iOrdinal = NEW.iEst), 0);
END;

CREATE TRIGGER tr_estate_urban AFTER UPDATE ON t_estate FOR EACH ROW
BEGIN
  IF NEW.iUrban <> OLD.iUrban THEN
    UPDATE t_house SET iUrban = NEW.iUrban WHERE iEst = NEW.iOrdinal;
  END IF;
END;
