-- Kelmor CRM schema for Microsoft SQL Server (the shared database of existing
-- installations). The database is created with a case-insensitive Chinese
-- collation (Chinese_PRC_CI_AS), so text compares without regard to case and
-- the single-byte (varchar) goods columns hold GBK text. The empty date is
-- '1900-08-14'; connections run SET DATEFORMAT ymd.

CREATE TABLE t_client (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int DEFAULT 0,
  F_code nvarchar(50),
  F_name nvarchar(100),
  F_type nvarchar(100),
  F_hangye nvarchar(255),
  F_laiyuan nvarchar(50),
  F_country nvarchar(50),
  F_province nvarchar(50),
  F_city nvarchar(50),
  F_address nvarchar(255),
  F_postcode nvarchar(50),
  F_phone nvarchar(50),
  F_fax nvarchar(50),
  F_homepage nvarchar(50),
  F_email nvarchar(50),
  F_enrol nvarchar(50),
  F_khbank nvarchar(50),
  F_bankcode nvarchar(50),
  F_good nvarchar(255),
  F_xuqiu nvarchar(255),
  F_shuihao nvarchar(50),
  F_mem nvarchar(max),
  F_useFlag bit DEFAULT 0,
  F_empName nvarchar(50),
  F_editdate datetime,
  F_movephone nvarchar(50),
  F_date datetime,
  F_QQ nvarchar(50),
  F_ZF1 nvarchar(50),
  F_ZF2 nvarchar(50),
  F_ZF3 nvarchar(50),
  F_ZF4 nvarchar(50),
  F_ZF5 nvarchar(50),
  F_SZ1 float,
  F_SZ2 float,
  F_SZ3 float,
  F_RQ1 datetime,
  F_RQ2 datetime,
  F_RQ3 datetime,
  F_LXRname nvarchar(50),
  F_LXRdept nvarchar(50),
  F_LXRduty nvarchar(50),
  F_LXRphone nvarchar(255),
  F_LXRqq nvarchar(50),
  F_LXRemail nvarchar(50)
);
-- A customer number names one customer; 0 is a row not yet numbered (import).
CREATE UNIQUE INDEX ix_client_cltid ON t_client(F_cltID) WHERE F_cltID > 0;
CREATE INDEX ix_client_code ON t_client(F_code);
CREATE INDEX ix_client_name ON t_client(F_name);
CREATE INDEX ix_client_hangye ON t_client(F_hangye);
CREATE INDEX ix_client_empname ON t_client(F_empName);

CREATE TABLE t_linkman (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_code nvarchar(50),
  F_name nvarchar(50),
  F_IFkey bit DEFAULT 0,
  F_dept nvarchar(50),
  F_duty nvarchar(50),
  F_officePhone nvarchar(50),
  F_homePhone nvarchar(50),
  F_handPhone nvarchar(50),
  F_Fax nvarchar(50),
  F_Email nvarchar(50),
  F_Address nvarchar(50),
  F_birthday datetime,
  F_shihao nvarchar(255),
  F_mem nvarchar(max),
  F_QQ nvarchar(50)
);
CREATE INDEX ix_linkman_cltid ON t_linkman(F_cltID);
CREATE INDEX ix_linkman_name ON t_linkman(F_name);

CREATE TABLE t_LXrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_date datetime,
  F_caption nvarchar(255),
  F_EmpName nvarchar(50),
  F_mode nvarchar(50),
  F_mem nvarchar(max),
  F_OperName nvarchar(50),
  F_ZJmem nvarchar(50),
  F_IFgj bit DEFAULT 0,
  F_awokeDate datetime
);
CREATE INDEX ix_lxrec_cltid ON t_LXrec(F_cltID);
CREATE INDEX ix_lxrec_date ON t_LXrec(F_date);

CREATE TABLE t_BJrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_date datetime,
  F_billcode nvarchar(255),
  F_GDcode nvarchar(50),
  F_GDname nvarchar(50),
  F_name nvarchar(255),
  F_type nvarchar(200),
  F_spec nvarchar(200),
  F_unit nvarchar(50),
  F_price money,
  F_amount float,
  F_totalprice float,
  F_filepath nvarchar(255),
  F_mem nvarchar(max),
  F_OperName nvarchar(50),
  F_awokeDate datetime
);
CREATE INDEX ix_bjrec_cltid ON t_BJrec(F_cltID);
CREATE INDEX ix_bjrec_date ON t_BJrec(F_date);

CREATE TABLE t_HTrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_date datetime,
  F_empName nvarchar(50),
  F_HTcode nvarchar(50),
  F_HTname nvarchar(255),
  F_HTprice float,
  F_YFprice float,
  F_HTstatus nvarchar(50),
  F_filepath nvarchar(255),
  F_HTmem nvarchar(max),
  F_mem nvarchar(max),
  F_OperName nvarchar(50)
);
CREATE INDEX ix_htrec_cltid ON t_HTrec(F_cltID);
CREATE INDEX ix_htrec_date ON t_HTrec(F_date);

CREATE TABLE t_XSrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_code nvarchar(50),
  F_date datetime,
  F_OLDcode nvarchar(50),
  F_makedate datetime,
  F_operName nvarchar(50),
  F_totalPrice float,
  F_memo1 nvarchar(max),
  F_FHemp nvarchar(50),
  F_FHdate datetime,
  F_SHemp nvarchar(50),
  F_SHdate datetime,
  F_SHphone nvarchar(50),
  F_SHaddress nvarchar(255),
  F_FHfilePath nvarchar(255)
);
CREATE INDEX ix_xsrec_cltid ON t_XSrec(F_cltID);
CREATE INDEX ix_xsrec_code ON t_XSrec(F_code);
CREATE INDEX ix_xsrec_date ON t_XSrec(F_date);

CREATE TABLE t_XSdetail (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_code nvarchar(50),
  F_GDcode nvarchar(50),
  F_GDname nvarchar(255),
  F_type nvarchar(255),
  F_spec nvarchar(50),
  F_unit nvarchar(50),
  F_rate float,
  F_price float,
  F_amount float,
  F_totalPrice float,
  F_memo1 nvarchar(max)
);
CREATE INDEX ix_xsdetail_code ON t_XSdetail(F_code);

CREATE TABLE t_HFrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_date datetime,
  F_EmpName nvarchar(50),
  F_mem1 nvarchar(max),
  F_mem2 nvarchar(max)
);
CREATE INDEX ix_hfrec_cltid ON t_HFrec(F_cltID);
CREATE INDEX ix_hfrec_date ON t_HFrec(F_date);

CREATE TABLE t_TSrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_date datetime,
  F_EmpName nvarchar(50),
  F_mem1 nvarchar(max),
  F_mem2 nvarchar(max),
  F_CLempName nvarchar(50),
  F_CLdate datetime
);
CREATE INDEX ix_tsrec_cltid ON t_TSrec(F_cltID);
CREATE INDEX ix_tsrec_date ON t_TSrec(F_date);

CREATE TABLE t_GooDrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_editdate datetime,
  F_GDcode nvarchar(50),
  F_GDname nvarchar(50),
  F_name nvarchar(255),
  F_type nvarchar(255),
  F_spec nvarchar(50),
  F_unit nvarchar(50),
  F_price float,
  F_BuildAmount nvarchar(50),
  F_EnterAmount nvarchar(50),
  F_mem nvarchar(max)
);
CREATE INDEX ix_goodrec_cltid ON t_GooDrec(F_cltID);

CREATE TABLE t_TXrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_AwokeDate datetime,
  F_AwokeTime nvarchar(50),
  F_Caption nvarchar(255),
  F_mem1 nvarchar(max),
  F_OperName nvarchar(50),
  F_editDate nvarchar(50)
);
CREATE INDEX ix_txrec_cltid ON t_TXrec(F_cltID);
CREATE INDEX ix_txrec_awokedate ON t_TXrec(F_AwokeDate);

CREATE TABLE t_CJrec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_date datetime
);
CREATE INDEX ix_cjrec_cltid ON t_CJrec(F_cltID);

CREATE TABLE LdCltRec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_cltID int,
  F_date datetime,
  F_LDmem nvarchar(max),
  F_LDtype nvarchar(50),
  F_LDdate datetime,
  F_mem nvarchar(max),
  F_CLtype nvarchar(50),
  F_operName nvarchar(50),
  F_CLTcode nvarchar(50),
  F_CLTname nvarchar(255)
);
CREATE INDEX ix_ldcltrec_cltid ON LdCltRec(F_cltID);
CREATE INDEX ix_ldcltrec_lddate ON LdCltRec(F_LDdate);

CREATE TABLE t_goods (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_code varchar(50),
  F_name varchar(50),
  F_type varchar(255),
  F_spec varchar(50),
  F_unit varchar(50),
  F_price float,
  F_price1 float,
  F_price2 float,
  F_memo1 nvarchar(max),
  F_Flag bit DEFAULT 0
);
CREATE INDEX ix_goods_code ON t_goods(F_code);
CREATE INDEX ix_goods_name ON t_goods(F_name);

CREATE TABLE t_employee (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_code nvarchar(50),
  F_name nvarchar(50),
  F_sex nvarchar(50),
  F_dept nvarchar(50),
  F_duty nvarchar(50),
  F_xueLI nvarchar(50),
  F_phone nvarchar(50),
  F_birthday datetime,
  F_SFZcode nvarchar(50),
  F_address nvarchar(50),
  F_email nvarchar(50),
  F_ZZmm nvarchar(50),
  F_memo1 nvarchar(50),
  F_flag bit DEFAULT 0,
  F_imagepath nvarchar(255),
  F_empImage varbinary(max)
);
CREATE INDEX ix_employee_code ON t_employee(F_code);
CREATE INDEX ix_employee_name ON t_employee(F_name);

CREATE TABLE t_code (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_type nvarchar(50),
  F_name nvarchar(255)
);
CREATE INDEX ix_code_type ON t_code(F_type);

CREATE TABLE t_treecode (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_code nvarchar(150),
  F_name nvarchar(100),
  F_likecode nvarchar(255),
  F_flag nvarchar(50)
);
CREATE UNIQUE INDEX ix_treecode_flag_code ON t_treecode(F_flag, F_code);

CREATE TABLE tempCode (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_code nvarchar(50)
);

CREATE TABLE OperList (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_Code nvarchar(50),
  F_Name nvarchar(50),
  F_PassWord nvarchar(255),
  F_PartCode nvarchar(50),
  F_Mem nvarchar(255),
  F_Flag bit DEFAULT 0
);
CREATE INDEX ix_operlist_code ON OperList(F_Code);

CREATE TABLE PartList (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_Code nvarchar(50),
  F_Name nvarchar(50),
  F_Mem nvarchar(255),
  F_Flag bit DEFAULT 0,
  F_EmpFlag int DEFAULT 0,
  F_EmpName nvarchar(max)
);
CREATE INDEX ix_partlist_code ON PartList(F_Code);

CREATE TABLE Limits (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_Code nvarchar(10),
  F_Name nvarchar(100),
  F_Flag bit DEFAULT 1
);
CREATE UNIQUE INDEX ix_limits_code ON Limits(F_Code);

CREATE TABLE PartLimit (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_PartCode nvarchar(50),
  F_LmtCode nvarchar(10)
);
CREATE INDEX ix_partlimit_part ON PartLimit(F_PartCode, F_LmtCode);

CREATE TABLE SysInfo (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_Code nvarchar(50),
  F_Name nvarchar(10),
  F_BakPath nvarchar(255),
  F_Manager nvarchar(50),
  F_Phone nvarchar(50),
  F_HandPhone nvarchar(50),
  F_Email nvarchar(255),
  F_Homepage nvarchar(255),
  F_Enroler nvarchar(50),
  F_Mem nvarchar(255)
);

CREATE TABLE KeyValue (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_Value nvarchar(255)
);

CREATE TABLE LogRec (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_EmpName nvarchar(50),
  F_OperType nvarchar(255),
  F_OperDate nvarchar(20),
  F_OperTime nvarchar(20)
);

CREATE TABLE cfg_Grid (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_name nvarchar(50),
  F_FieldName nvarchar(50),
  F_Caption nvarchar(100),
  F_Width int,
  F_Visible bit DEFAULT 1,
  F_ReadOnly bit DEFAULT 0,
  F_DisplayFormat nvarchar(100),
  F_FooterValue nvarchar(100),
  F_FooterType int DEFAULT 0,
  F_Alignment int DEFAULT 0,
  F_Order int DEFAULT 0
);
CREATE INDEX ix_cfggrid_name ON cfg_Grid(F_name, F_FieldName);

CREATE TABLE cfg_import (
  F_ID int IDENTITY(1,1) PRIMARY KEY,
  F_tablename nvarchar(50),
  S_Field nvarchar(50),
  F_FieldName nvarchar(100),
  F_Field nvarchar(100),
  F_iFlag bit DEFAULT 1
);
