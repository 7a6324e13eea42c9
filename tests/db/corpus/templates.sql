# Every SQL template the client composes, filled with sample values.
# One entry per line: "<id>: <T-SQL>". Lines starting with '#' are comments.
# An id starting with '!' marks text this database must refuse with a clear error.
# Stored-procedure calls are recognised as calls, not translated.
# Fixture tables beside the delivered ones: qp_Wage1 (a wage sort's data table),
# tmpWageSel1 (a membership work table), qp_PsnEdu (a related-record table).

# start-up, options and login
login.numberrule: SELECT sContent FROM qp_SysOption WHERE nType=0
login.script-first: SELECT TOP 1 id,sContent FROM qp_SysOption WHERE nType=1
login.script-by-id: SELECT sContent FROM qp_SysOption WHERE nType=1 AND id=3
login.retention: SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=2
login.user: SELECT UserID,UserName,ISuper,Locked,Pwd,Purview FROM qp_Users WHERE Upper(UserName)='ADMIN'
login.count: SELECT COUNT(*) FROM qp_Users
login.password: UPDATE qp_Users SET Pwd='0CC175B9C0F1B6A831C399E269772661' WHERE UserID=1

# data access layer
dal.select-all: SELECT * FROM qp_Log

# catalogue lookups and lists
cat.fields-where: SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice,TblName FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' ORDER BY Ord
cat.sort-name: SELECT Name FROM qp_PsnSort WHERE AID=1
cat.dept-name: SELECT Name FROM qp_Dept WHERE DID=1
cat.wage-table: SELECT TblName FROM qp_Table WHERE nType=6 AND ID=1
cat.wage-title: SELECT Title FROM qp_Table WHERE nType=6 AND ID=1
cat.table-title: SELECT [Title] FROM qp_Table WHERE UPPER(TblName)='QP_PSNBASE'
cat.dict-code: SELECT DictId FROM qp_Dict WHERE ID=1
cat.field-by-alias: SELECT Name FROM qp_Items INNER JOIN qp_Table ON UPPER(qp_Items.TblName)=UPPER(qp_Table.TblName) WHERE (UPPER(qp_Table.Title)='人员基本信息' AND UPPER(qp_Items.Alias)='姓名')
cat.type-by-alias: SELECT iDataType FROM qp_Items INNER JOIN qp_Table ON UPPER(qp_Items.TblName)=UPPER(qp_Table.TblName) WHERE (UPPER(qp_Table.Title)='人员基本信息' AND UPPER(qp_Items.Alias)='姓名')
cat.alias-by-name: SELECT Alias FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE' AND UPPER(Name)='NAME')
cat.width: SELECT iWid FROM qp_Items WHERE [Name]='Number'
cat.ident: SELECT IDENT_CURRENT('qp_Dept')
cat.table-exists: SELECT 1 FROM sysobjects WHERE [name]='qp_PsnBase'
cat.row-exists: SELECT 1 FROM [qp_Dict] WHERE ([ID]=1)
cat.number-exists: SELECT COUNT(PID) FROM qp_PsnBase WHERE UPPER([Number])='A001'
cat.dept-children: SELECT COUNT(DID) FROM qp_Dept WHERE ParentID=0
cat.dict-top: SELECT ID,DictId,DictValue,Title FROM qp_DictItem WHERE Active=1 AND DictId='XB' AND (ParentValue='' OR ParentValue IS NULL) ORDER BY DictValue
cat.dict-children: SELECT ID,DictId,DictValue,Title FROM qp_DictItem WHERE Active=1 AND DictId='XB' AND ParentValue='1' ORDER BY DictValue
cat.dict-count: SELECT Count(*) FROM qp_DictItem WHERE Active=1 AND DictId='XB' AND ParentValue='1'
cat.dict-flat: SELECT TOP 500 Title FROM qp_DictItem WHERE Active=1 AND DictId='XB' ORDER BY DictValue
cat.dept-tree: SELECT * FROM qp_Dept WHERE ParentID=0 ORDER BY Ord
cat.sorts: SELECT AID,Name FROM qp_PsnSort ORDER BY ord
cat.wage-sorts: SELECT ID,Title FROM qp_Table WHERE nType=6 ORDER BY Ord
cat.operators: SELECT UserID,UserName FROM qp_Users
cat.personnel-from: SELECT qp_PsnBase.PID FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID LEFT JOIN qp_PsnAdj ON qp_PsnAdj.PID=qp_PsnBase.PID 
cat.rows-from: SELECT qp_PsnBase.PID FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON qp_Wage1.AID = qp_PsnSort.AID 
cat.wage-rows-from: SELECT qp_PsnBase.PID FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON qp_Wage1.AID = qp_PsnSort.AID LEFT OUTER JOIN qp_PsnAdj ON qp_Wage1.PID = qp_PsnAdj.PID
cat.psn-columns: SELECT Name,Alias,TblName FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' AND iDataType<4 ORDER BY Ord
cat.table-by-id: SELECT TblName FROM qp_Table WHERE ID=1
cat.table-fields: SELECT qp_Items.Name,qp_Items.Alias FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' ORDER BY Ord
cat.column-list: SELECT [Name],[Alias] FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' ORDER BY Ord
cat.psn-list: SELECT QP_PSNBASE.Number AS [编号],QP_PSNBASE.Name AS [姓名],qp_Dept.Name AS [部门] FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID 
cat.grid-move: UPDATE qp_PsnSort SET Ord=3 WHERE AID=2
cat.order-read: SELECT Ord FROM qp_Stat WHERE TID=2
cat.order-down: UPDATE qp_Stat SET Ord=Ord-1 WHERE (Ord>2 AND Ord<=5) AND sFlag=1
cat.order-up: UPDATE qp_Stat SET Ord=Ord+1 WHERE (Ord>=2 AND Ord<5)
cat.order-set: UPDATE qp_Stat SET Ord=5 WHERE TID=2

# system log
log.list: SELECT id,lDate AS 时间,lUser AS 用户,lAction AS 操作 FROM qp_Log  WHERE lUser='admin' AND (lDate>='2024-01-01 00:00:00' AND lDate<='2024-01-31 23:59:59') ORDER BY lDate DESC
log.day: SELECT id,lDate AS 时间,lUser AS 用户,lAction AS 操作 FROM qp_Log  WHERE lUser='admin' AND (YEAR(lDate)=2024 AND MONTH(lDate)=5 AND DAY(lDate)=1) ORDER BY lDate DESC
log.user: SELECT id,lDate AS 时间,lUser AS 用户,lAction AS 操作 FROM qp_Log  WHERE lUser='admin' ORDER BY lDate DESC
log.range: SELECT id,lDate AS 时间,lUser AS 用户,lAction AS 操作 FROM qp_Log  WHERE (lDate>='2024-01-01' AND lDate<='2024-12-31') ORDER BY lDate DESC
log.only-day: SELECT id,lDate AS 时间,lUser AS 用户,lAction AS 操作 FROM qp_Log  WHERE (YEAR(lDate)=2024 AND MONTH(lDate)=5 AND DAY(lDate)=1) ORDER BY lDate DESC
log.like: SELECT id,lDate AS 时间,lUser AS 用户,lAction AS 操作 FROM qp_Log  WHERE (lAction LIKE '%登录%') ORDER BY lDate DESC
log.retention-first: SELECT TOP 1 id,sContent FROM qp_SysOption WHERE nType=2
log.retention-id: SELECT sContent FROM qp_SysOption WHERE nType=2 AND id=1
log.add: EXEC qp_AddSystemLog 'admin','系统管理[登录系统]',1,30

# operators and rights
rights.sort-keys: SELECT AID FROM qp_PsnSort ORDER BY Ord
rights.dept-keys: SELECT DID FROM qp_Dept ORDER BY Ord
rights.purview: SELECT Purview FROM qp_Users WHERE UserID=1
rights.users: EXEC qp_SelectSystemUsers 1
rights.delete: DELETE FROM qp_Users WHERE UserID = 2
rights.dept-level: SELECT DID,ParentID,Name FROM qp_Dept WHERE ParentID=0 ORDER BY ord
rights.name-like: SELECT UserID FROM qp_Users WHERE  UPPER(UserName) LIKE 'ADMIN'
rights.all: SELECT UserName,Pwd,Locked,Descr,Purview FROM qp_Users
rights.one: SELECT UserName,Pwd,Locked,Descr,Purview FROM qp_Users WHERE UserID=1

# catalogue administration
admin.tables: SELECT ID,Title,Flag,hasChild FROM qp_Table WHERE (ParentID=0 AND nType<>6) ORDER BY Ord
admin.group-tables: EXEC qp_SelectSystemDBTable 1
admin.fields: EXEC qp_SelectFieldsByTableID 2
admin.groups: SELECT ID,Title FROM qp_Table WHERE (hasChild=1 AND nType<>6) ORDER BY Ord
admin.title-id: SELECT ID FROM qp_Table WHERE UPPER(Title)='人员基本信息'
admin.dicts: SELECT ID,Title,DictId FROM qp_Dict WHERE Active=1 ORDER BY Ord
admin.field-id: SELECT ItemID FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' AND UPPER(Alias)='姓名'
admin.field-count: SELECT COUNT(*) FROM qp_Items WHERE TblName='qp_PsnBase'
admin.dict-list: SELECT ID,DictId,Title,(SELECT COUNT(id) FROM qp_DictItem WHERE hasChild=1 AND DictId=qp_Dict.DictID) AS childs FROM qp_Dict ORDER BY Ord
admin.dict-items: EXEC qp_SelectSystemDictItemsByID 'XB',''
admin.dict-title-count: SELECT COUNT(*) FROM qp_Dict WHERE UPPER(Title)='性别'
admin.dict-value-count: SELECT COUNT(*) FROM qp_DictItem WHERE [DictId]='XB' AND ParentValue='' AND DictValue='1'
admin.dict-item-title-count: SELECT COUNT(*) FROM qp_DictItem WHERE [DictId]='XB' AND UPPER(Title)='男'
admin.dict-delete-items: DELETE FROM qp_DictItem WHERE DictId='XB'
admin.dict-delete: DELETE FROM qp_Dict WHERE ID=1
admin.dict-item-delete: DELETE FROM qp_DictItem WHERE ID=1
admin.dict-siblings: SELECT COUNT(*) FROM qp_DictItem WHERE [DictId]='XB' AND ParentValue='1'
admin.dict-nochild: UPDATE qp_DictItem SET hasChild=0 WHERE [DictId]='XB' AND DictValue='1'
admin.add-table: EXEC qp_AddDBTable 5,'学习经历','',3,1
admin.add-field-named: qp_AddDBTableItem @iSort=0, @TblName=N'qp_PsnEdu', @Alias=N'学校', @DataType=1, @IdRef='', @DefValue='', @Length=50, @bNotNull=0, @bShow=1

# department tree
dept.move: EXEC qp_UpdateDeptParentByID 3,1,'|3|1|'
dept.swap: EXEC qp_SwapDeptOrder 2,1,3,2
dept.children: SELECT COUNT(DID) FROM qp_Dept WHERE ParentID=1
dept.name-col: SELECT [Alias],iWid FROM qp_Items WHERE UPPER(TblName)='QP_DEPT' AND UPPER(Name)='NAME'
dept.cols: SELECT [Name],[Alias],iWid FROM qp_Items WHERE (UPPER(TblName)='QP_DEPT' AND (UPPER(Name)<>'NAME' AND UPPER(Name)<>'PARENTID')) ORDER BY Ord
dept.empty: SELECT DID,Name,PNRule FROM qp_Dept WHERE ParentID=-1
dept.level: SELECT DID,Name,PNRule FROM qp_Dept WHERE ParentID=1 ORDER BY Ord
dept.width: UPDATE qp_Items SET [iWid]=120 WHERE UPPER(TblName)='QP_DEPT' AND [Alias]='部门名称'
dept.order: UPDATE qp_Dept SET Ord=2 WHERE DID=3
dept.path: SELECT ParentArr FROM qp_Dept WHERE DID=3
dept.kids: SELECT DID,ParentArr FROM qp_Dept WHERE ParentID=3
dept.move-people: UPDATE qp_PsnBase SET DID=2 WHERE DID=3
dept.wage-tables: SELECT TblName FROM qp_Table WHERE nType=6
dept.move-wage: UPDATE qp_Wage1 SET DID=2 WHERE DID=3
dept.name-count: SELECT COUNT(*) FROM qp_Dept WHERE Name='财务部'
dept.in-subtree: SELECT COUNT(*) FROM qp_Dept WHERE (DID IN (SELECT DID FROM qp_Dept WHERE (CHARINDEX('|3|',ParentArr)>0))) AND (DID=4)
dept.parent: SELECT ParentID FROM qp_Dept WHERE DID=3
dept.delete: DELETE FROM qp_Dept WHERE DID=3
dept.rules: SELECT DID,ParentID,Name,PNRule FROM qp_Dept WHERE ParentID=0 ORDER BY Ord
dept.rule-set: UPDATE qp_Dept SET PNRule='BM{N3}' WHERE DID=3
dept.delete-proc: EXEC qp_DeleteDeptByID 3

# personnel categories
sort.cols: SELECT [Name],[Alias],iWid FROM qp_Items WHERE UPPER(TblName)='QP_PSNSORT' ORDER BY Ord
sort.list: SELECT AID AS [编号],Name AS [类别名称] FROM qp_PsnSort ORDER BY Ord
sort.width: UPDATE qp_Items SET [iWid]=100 WHERE UPPER(TblName)='QP_PSNSORT' AND [Alias]='类别名称'
sort.name-count: SELECT COUNT(*) FROM qp_PsnSort WHERE Name='在职'
sort.orders: SELECT AID,Ord FROM qp_PsnSort ORDER BY ord
sort.count-proc: EXEC qp_GetPsnCountsBySortID 2

# record form
form.rule: SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=0
form.ident: SELECT IDENT_CURRENT('qp_PsnBase')
form.fields: SELECT ItemID,Name,Alias,bFixed,bNotNull,IdRef,DefValue,iDataType,iLength,iDec,iChoice,iFlag FROM qp_Items WHERE TblName='qp_PsnBase' AND (iDataType<>5 AND iFlag<>2) ORDER BY Ord
form.read: SELECT Number,Name,Sex,Birthday FROM qp_PsnBase WHERE PID=1
form.dept-rule: SELECT PNRule FROM qp_Dept WHERE DID='1'
form.number-count: SELECT COUNT(PID) FROM qp_PsnBase WHERE UPPER([Number])='A001'
form.related: SELECT ID,School FROM qp_PsnEdu
form.related-order: UPDATE [qp_PsnEdu] SET Ord=2 WHERE ID=1
form.dict-entry: SELECT DictId,DictValue FROM qp_DictItem WHERE Active=1 AND ID=1
form.picker: EXEC qp_SelectPsnForEditBrowseCtrl 1,' WHERE (W.SID=1) AND (CHARINDEX('',''+CONVERT(VARCHAR,P.DID)+'','','',1,2,'')>0)'

# personnel view
psn.order: SELECT qp_PsnBase.PID FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID ORDER BY qp_Dept.Ord,qp_PsnBase.Ord
psn.reports: SELECT ID,Name FROM qp_Report WHERE Active=1 AND Type=1 ORDER BY Ord
psn.mails: SELECT AID,Name FROM qp_WageAnnounce WHERE Active=1 AND SID=0 ORDER BY Ord
psn.cols: SELECT [Name],[Alias],iDataType,iWid,IdRef,bNotNull,bShow,ColFmt FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' ORDER BY Ord
psn.dict-flat: SELECT TOP 500 Title FROM qp_DictItem WHERE Active=1 AND DictId='XB' ORDER BY DictValue
psn.view-dept-sort: SELECT qp_PsnBase.PID,qp_PsnBase.DID,qp_PsnBase.AID,QP_PSNBASE.Number AS [编号],QP_PSNBASE.Name AS [姓名] FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (CHARINDEX('|1|',qp_Dept.ParentArr)>0) AND (qp_PsnBase.AID=1) ORDER BY qp_Dept.Ord,qp_PsnBase.Ord
psn.view-sort: SELECT qp_PsnBase.PID FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (qp_PsnBase.AID=1) ORDER BY qp_Dept.Ord,qp_PsnBase.Ord
psn.view-dept: SELECT qp_PsnBase.PID FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (CHARINDEX('|1|',qp_Dept.ParentArr)>0) ORDER BY qp_Dept.Ord,qp_PsnBase.Ord
psn.view-none: SELECT qp_PsnBase.PID FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (qp_PsnBase.AID=-1)
psn.view-limited: SELECT qp_PsnBase.PID FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (CHARINDEX('|1|',qp_Dept.ParentArr)>0) AND (CHARINDEX(','+CONVERT(VARCHAR,qp_PsnBase.DID)+',',',1,2,3,')>0) ORDER BY qp_Dept.Ord,qp_PsnBase.Ord
psn.export-cols: SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE') AND iDataType<4 ORDER BY Ord
psn.export: SELECT qp_PsnBase.PID,QP_PSNBASE.Number AS [编号],QP_PSNSORT.Name AS [类别名称],QP_DEPT.Name AS [部门名称] FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID LEFT JOIN qp_PsnAdj ON qp_PsnAdj.PID=qp_PsnBase.PID  WHERE (qp_PsnBase.AID=1) ORDER BY qp_Dept.Ord,qp_PsnBase.Ord
psn.reorder: EXEC qp_SelectPsnbaseReOrderByDeptID 1
psn.shift-down: UPDATE qp_PsnBase SET Ord=Ord-1 WHERE (Ord>2 AND Ord<=5)
psn.shift-up: UPDATE qp_PsnBase SET Ord=Ord+1 WHERE (Ord>=2 AND Ord<5)
psn.move: UPDATE qp_PsnBase SET Ord=5 WHERE PID=1
psn.width: UPDATE qp_Items SET [iWid]=90 WHERE [Name]='Number'
psn.format: UPDATE qp_Items SET ColFmt='0.00' WHERE [Name]='Number'
psn.print-one: SELECT qp_PsnBase.Number,qp_PsnBase.Name FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID WHERE qp_PsnBase.PID=1
psn.mail-template: SELECT Name,Subject,Content FROM qp_WageAnnounce WHERE AID=1
psn.mail-field: SELECT dbfield FROM qp_BatchMailSet WHERE dt=0
psn.mail-servers: SELECT svrname,port,auh,ssl,account,password,mailadr,username FROM qp_BatchMailSet WHERE dt=3 ORDER BY id
psn.delete-proc: EXEC qp_DeletePsnBaseByID 7

# transfers and category changes
move.wizard: EXEC qp_SelectPsnWizard ' WHERE (CHARINDEX(''|1|'',qp_Dept.ParentArr)>0) AND (CHARINDEX('',''+CONVERT(VARCHAR,qp_PsnBase.DID)+'','','',1,2,'')>0)'
move.psn-cols: SELECT ItemID,[Name],[Alias],iWid FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE')
move.cols: SELECT iDataType,[Name],[Alias],iWid FROM qp_Items WHERE UPPER(TblName)='QP_PSNREDEPLOY' ORDER BY Ord
move.list: SELECT qp_PsnRedeploy.ID,qp_PsnBase.Name AS [姓名],qp_PsnRedeploy.MobDate AS [调动日期] FROM qp_PsnRedeploy INNER JOIN qp_PsnBase ON qp_PsnRedeploy.PID = qp_PsnBase.PID  WHERE (CHARINDEX(','+CONVERT(VARCHAR,qp_PsnBase.DID)+',',',1,2,')>0) ORDER BY qp_PsnRedeploy.MobDate DESC
move.width: UPDATE qp_Items SET [iWid]=80 WHERE UPPER(TblName)='QP_PSNREDEPLOY' AND [Alias]='调动日期'
move.fields-lower: SELECT Name,Alias,TblName FROM qp_Items WHERE (UPPER(TblName)='qp_PsnRedeploy') AND iDataType<4 ORDER BY Ord
move.fields-alter: SELECT Name,Alias,TblName FROM qp_Items WHERE (UPPER(TblName)='QP_PSNSORTALTER') AND iDataType<4 ORDER BY Ord
move.delete: DELETE qp_PsnRedeploy WHERE ID=3
move.delete-alter: DELETE qp_PsnSortAlter WHERE ID=3
move.choose: SELECT PID,Number,Name FROM qp_PsnBase
move.set-dept: UPDATE qp_PsnBase SET DID=2 WHERE PID=1
move.set-sort: UPDATE qp_PsnBase SET AID=2 WHERE PID=1

# import and batch update
!import.openrowset: INSERT INTO qp_PsnBase (DID,AID,Number,Name) SELECT 1,2,[编号],[姓名] FROM OPENROWSET('Microsoft.Jet.OLEDB.4.0','Excel 8.0;Database=C:\data\人员.xls',[Sheet1$])
batch.fields: SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE') AND iDataType<4 AND (UPPER([Name])<>'NUMBER') ORDER BY Ord
batch.assign: UPDATE qp_PsnBase SET [Memo]='调整' WHERE (qp_PsnBase.AID=1)
batch.add-number: UPDATE qp_PsnBase SET [Ord]=ROUND([Ord]+2,0) WHERE (qp_PsnBase.AID=1)
batch.divide: UPDATE qp_PsnBase SET [Ord]=ROUND([Ord]/2,0)
batch.date-fields: SELECT ItemID,[Alias] FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE') AND iDataType=2 ORDER BY Ord
batch.field-name: SELECT Name FROM qp_Items WHERE ItemID=5
batch.age-month: UPDATE qp_PsnBase SET qp_PsnBase.[Ord]=(CASE WHEN (MONTH('2024-06-30')>MONTH(WorkDate)) THEN (YEAR('2024-06-30')-YEAR(WorkDate)) ELSE (YEAR('2024-06-30')-YEAR(WorkDate)-1) END)  FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (ISDATE(WorkDate)=1 AND YEAR('2024-06-30')>YEAR(WorkDate))
batch.age-day: UPDATE qp_PsnBase SET qp_PsnBase.[Ord]=(CASE WHEN ('0630'>RIGHT(CONVERT(CHAR(8),WorkDate,112),4)) THEN (YEAR('2024-06-30')-YEAR(WorkDate)) ELSE (YEAR('2024-06-30')-YEAR(WorkDate)-1) END)  FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (qp_PsnBase.AID=1) AND (ISDATE(WorkDate)=1 AND YEAR('2024-06-30')>YEAR(WorkDate))
batch.age-year: UPDATE qp_PsnBase SET qp_PsnBase.[Ord]=(YEAR('2024-06-30')-YEAR(WorkDate)+1)  FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID  WHERE (ISDATE(WorkDate)=1 AND YEAR('2024-06-30')>YEAR(WorkDate))

# side panes
pane.tables: SELECT ID,TblName,Title FROM qp_Table WHERE nType=5 AND bShow=1 ORDER BY Ord
pane.wage-sorts: SELECT ID,Title FROM qp_Table WHERE nType=6 ORDER BY Ord
pane.cols: SELECT [Name],[Alias],iWid FROM qp_Items WHERE UPPER(TblName)='QP_PSNEDU' ORDER BY Ord
pane.rows: SELECT ID,School AS [学校] FROM qp_PsnEdu WHERE PID=1 ORDER BY Ord
pane.width: UPDATE qp_Items SET [iWid]=100 WHERE UPPER(TblName)='QP_PSNEDU' AND [Alias]='学校'
pane.wage-table: SELECT TblName FROM qp_Table WHERE nType=6 AND ID=1
pane.wage-rows: SELECT qp_PsnBase.PID,fDate AS 薪资期间 ,[qp_Wage1].Jb AS [基本工资] FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON [qp_Wage1].DID = qp_Dept.DID WHERE [qp_Wage1].PID=1 ORDER BY fDate DESC
pane.delete: DELETE [qp_PsnEdu] WHERE ID=1 AND PID=1
pane.wage-title: SELECT Title FROM qp_Table WHERE nType=6 AND ID=1
pane.photo: SELECT Photo FROM qp_PsnAdj WHERE PID=1
pane.photo-edit: SELECT Photo,PID FROM qp_PsnAdj WHERE PID=1
pane.photo-delete: DELETE FROM qp_PsnAdj WHERE PID=1
pane.files: SELECT ID,Name,FileSize,AddDate FROM qp_PsnFiles WHERE PID=1 ORDER BY AddDate
pane.files-edit: SELECT * FROM qp_PsnFiles WHERE PID=1
pane.file-rename: UPDATE qp_PsnFiles SET Name='简历.docx' WHERE ID=1 AND PID=1
pane.file-delete: DELETE FROM qp_PsnFiles WHERE ID=1 AND PID=1
pane.file-data: SELECT FileData FROM qp_PsnFiles WHERE ID=1 AND PID=1
pane.reorder: EXEC qp_RefreshPsnRelatOrder 'qp_PsnEdu',1

# advanced search
search.tables: SELECT ID,TblName,Title FROM qp_Table WHERE nType=5 ORDER BY Ord
search.fields: SELECT Name,Alias,TblName FROM qp_Items WHERE (UPPER(TblName)='QP_PSNEDU') AND iDataType<4 ORDER BY Ord
search.fields-all: SELECT Name,Alias,TblName FROM qp_Items WHERE (UPPER(TblName)='QP_PSNEDU') ORDER BY Ord
search.saved: SELECT RID,Name FROM qp_Research WHERE UserID=1 AND iType=0
search.own-rows: SELECT id,AndOr,ItemName,OpSgn,sValue FROM qp_ResearchDetail WHERE (RID=1 AND Flag=0) ORDER BY Ord
search.rel-rows: SELECT id,AndOr,TblName,ItemName,OpSgn,sValue FROM qp_ResearchDetail WHERE (RID=1 AND Flag=1) ORDER BY Ord
search.order: SELECT OrdCol FROM qp_Research WHERE RID=1
search.delete-row: DELETE FROM qp_ResearchDetail WHERE id=1
search.delete-rows: DELETE FROM qp_ResearchDetail WHERE RID=1
search.delete: DELETE FROM qp_Research WHERE RID=1
search.item-aliases: SELECT ItemID,[Alias] FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE') AND iDataType<4 ORDER BY Ord
search.item-info: SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE')
search.condition: SELECT qp_PsnBase.PID FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID WHERE (qp_PsnBase.Sex='男') AND (qp_PsnBase.Birthday>=CONVERT(DATETIME, '1980-01-01', 102)) OR (qp_PsnBase.Name LIKE '张%') AND (qp_PsnBase.PID IN (SELECT PID FROM qp_PsnEdu WHERE (qp_PsnEdu.School='北京大学'))) ORDER BY Birthday DESC,Number
search.save: EXEC qp_AddAdvResearch 0,0,1,'男职工','Birthday DESC'
search.save-detail: EXEC qp_AddAdvResearchDetail 0,0,1,'并且','qp_PsnBase','Sex','=','男',1

# statistics
stat.tree: SELECT TID,sCaption FROM qp_Stat WHERE sFlag=1 ORDER BY Ord
stat.item: SELECT sCaption,sFlag,bFixed,sTblName,sFldName FROM qp_Stat WHERE TID=1
stat.field: SELECT t.sTblName,t.sFldName,i.iDataType,i.IdRef FROM qp_Stat t INNER JOIN qp_Items i ON UPPER(t.sFldName)=UPPER(i.Name) AND UPPER(t.sTblName)=UPPER(i.TblName) WHERE t.TID=1
stat.filters: SELECT fTitle,LowerVal,UperVal FROM qp_StatItmFilter WHERE TID=1 ORDER BY Ord
stat.tables: SELECT ID,TblName,Title FROM qp_Table WHERE (bStat=1 AND nType<>6) ORDER BY Ord
stat.fields: SELECT ItemID,[Name],[Alias],iDataType FROM qp_Items WHERE TblName='qp_PsnBase' ORDER BY Ord
stat.groups: SELECT TID,sCaption FROM qp_Stat WHERE sFlag=1 AND TID<>2 ORDER BY Ord
stat.order: UPDATE qp_Stat Set Ord=3 WHERE TID=2
stat.delete-filters: DELETE FROM qp_StatItmFilter WHERE TID=2
stat.delete: DELETE FROM qp_Stat WHERE TID=2
stat.delete-filter: DELETE FROM qp_StatItmFilter WHERE id=2
stat.read: SELECT TID,sCaption,sFlag,bFixed,sTblName,sFldName,Ord FROM qp_Stat WHERE TID=1
stat.dict-codes: SELECT DISTINCT [qp_PsnSort].AID,[qp_PsnSort].Ord FROM [qp_PsnSort] INNER JOIN [qp_PsnBase] ON [qp_PsnSort].AID = [qp_PsnBase].AID ORDER BY [qp_PsnSort].Ord
stat.dict-name: SELECT Name FROM [qp_PsnSort] WHERE AID=1
stat.distinct: SELECT DISTINCT qp_PsnBase.Sex FROM qp_PsnBase LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID ORDER BY [Sex]
stat.count-dept-sort: SELECT COUNT(*)  FROM qp_PsnBase LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID WHERE (CHARINDEX('|1|',qp_Dept.ParentArr)>0) AND (qp_PsnBase.AID=1) AND ([qp_PsnBase].[Sex]='男') AND (CHARINDEX(','+CONVERT(VARCHAR,qp_PsnBase.DID)+',',',1,2,')>0)
stat.count-sort: SELECT COUNT(*)  FROM qp_PsnBase LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID WHERE (qp_PsnBase.AID=1) AND [qp_PsnBase].[Sex] IS NULL
stat.count-dept: SELECT COUNT(*)  FROM qp_PsnBase LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID WHERE (CHARINDEX('|1|',qp_Dept.ParentArr)>0) AND ([qp_PsnBase].[Sex]='')
stat.count-related: SELECT COUNT(*)  FROM qp_PsnEdu INNER JOIN qp_PsnBase ON qp_PsnEdu.PID = qp_PsnBase.PID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID = qp_PsnSort.AID WHERE ([qp_PsnEdu].[School]='北京大学')
stat.count-pair: SELECT COUNT(*)  FROM [qp_PsnBase] INNER JOIN [qp_PsnEdu] ON [qp_PsnBase].PID=[qp_PsnEdu].PID  WHERE ([qp_PsnBase].[Sex]='女')
stat.count-range: SELECT COUNT(*)  FROM qp_PsnBase WHERE (qp_PsnBase.Ord>=1 AND qp_PsnBase.Ord<10)
stat.save-filter: EXEC qp_AddStatItmFilter 0,1,'青年','18','35',1

# reminders
wake.count: SELECT COUNT(*) FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID WHERE (RIGHT(CONVERT(char(8),[qp_PsnBase].[Birthday],112),8)>RIGHT(CONVERT(char(8),GETDATE(),112),8) AND RIGHT(CONVERT(char(8),[qp_PsnBase].[Birthday],112),8)<=RIGHT(CONVERT(char(8),GETDATE()+30, 112),8))
wake.count-custom: SELECT COUNT(*)  FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID WHERE DATEDIFF(day,GETDATE(),qp_PsnBase.JoinDate) BETWEEN 0 AND 7
wake.persons: SELECT qp_PsnBase.PID,qp_PsnBase.DID,qp_PsnBase.AID,qp_PsnBase.Number AS [编号],qp_PsnBase.Name AS [姓名] FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID WHERE (RIGHT(CONVERT(char(8),[qp_PsnBase].[JoinDate],112),8)>RIGHT(CONVERT(char(8),GETDATE(),112),8) AND RIGHT(CONVERT(char(8),[qp_PsnBase].[JoinDate],112),8)<=RIGHT(CONVERT(char(8),GETDATE()+7, 112),8)) ORDER BY qp_Dept.Ord,qp_PsnBase.Ord
wake.items: SELECT ID,Title,WTips,WTable,WField,BefDays,ISCustom,WCondit,Ord FROM qp_PsnCaseWakeup
wake.pending: SELECT WTable,WField,BefDays,ISCustom,WCondit FROM qp_PsnCaseWakeup
wake.show-cols: SELECT [Name],[Alias],[iDataType],[iWid],[IdRef] FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' AND bShow=1 ORDER BY Ord
wake.tables: SELECT ID,Title,TblName FROM qp_Table WHERE nType=4 ORDER BY Ord
wake.date-fields: SELECT ItemID,Alias,Name FROM qp_Items WHERE TblName='qp_PsnBase' AND iDataType=2 ORDER BY Ord
wake.delete: DELETE FROM qp_PsnCaseWakeup WHERE ID=1
wake.save: EXEC qp_AddWakeupItem 0,'生日提醒','qp_PsnBase','Birthday',7,0,''

# wage sorts and items
sortw.items: EXEC qp_SelectWageSetItemsByID 1
sortw.reorder: EXEC qp_SelectWageSetItemsReOrderByID 1
sortw.list-full: SELECT ID,Title,[Descr],Ord FROM qp_Table WHERE nType=6 ORDER BY Ord
sortw.count: SELECT COUNT(*) FROM qp_Table WHERE nType=6
sortw.title-count: SELECT COUNT(*) FROM qp_Table WHERE nType=6 AND Title='工资'
sortw.item-alias: SELECT ItemID FROM qp_Items WHERE iSort=1 AND Alias='基本工资'
sortw.std-tables: SELECT id,STDName FROM qp_WageStdTable WHERE SID=1 ORDER BY Ord
sortw.add: qp_AddWageSort @Name=N'工资', @Descr=N'月度工资'

# formula engine
formula.sort-info: SELECT Title,TblName FROM qp_Table WHERE nType=6 AND ID=1
formula.items: SELECT ItemID,Alias FROM qp_Items WHERE UPPER(TblName)='QP_WAGE1' AND iDataType<4 ORDER BY Ord
formula.psn-title: SELECT Title FROM qp_Table WHERE UPPER(TblName)='QP_PSNBASE'
formula.psn-items: SELECT ItemID,Alias FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' AND iDataType<4 ORDER BY Ord
formula.value: SELECT Jb  FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON qp_Wage1.AID = qp_PsnSort.AID  WHERE ([qp_Wage1].fDate=202405) AND (qp_Wage1.PID=1)
formula.count: SELECT COUNT(*) FROM qp_Wage1 WHERE fDate=202405

# salary standard tables
std.list: EXEC qp_SelectWageSetStdTableByID 1
std.dicts: SELECT ID,DictId,Title FROM qp_Dict INNER JOIN qp_Items ON qp_Dict.DictId=qp_Items.IdRef WHERE (qp_Items.iDataType=3) AND (qp_Items.iSort=0 OR qp_Items.iSort=1) ORDER BY qp_Dict.Ord
std.dict-top: SELECT ID,DictId,DictValue,Title FROM qp_DictItem WHERE DictId='ZW' AND (ParentValue='' OR ParentValue IS NULL) ORDER BY DictValue
std.dict-children: SELECT ID,DictId,DictValue,Title FROM qp_DictItem WHERE DictId='ZW' AND ParentValue='1' ORDER BY DictValue
std.dict-count: SELECT Count(*) FROM qp_DictItem WHERE DictId='ZW' AND ParentValue='1'
std.field: SELECT TOP 1 Name,TblName FROM qp_Items WHERE (iDataType=3) AND (iSort=0 OR iSort=1) AND (IdRef='ZW')
std.value-count: SELECT Count(*) FROM qp_DictItem WHERE DictValue='01'
std.value: SELECT DictValue FROM [qp_DictItem] WHERE DictValue='01'
std.value-delete: DELETE FROM [qp_WageStdTblItem] WHERE DictValue='01'
std.item-count: SELECT Count(*) FROM qp_WageStdTblItem WHERE StdID=1 AND DictId='ZW' AND DictValue='01'
std.read: SELECT STDName,Descr FROM qp_WageStdTable WHERE id=1
std.used-by: SELECT Alias FROM qp_Items WHERE iSort=1 AND iProperty=2 AND StdTblID=1
std.dict-title: SELECT Title FROM qp_Dict WHERE DictId='ZW'
std.grid-1d: SELECT qp_WageStdTblItem.ID,qp_DictItem.Title AS [职务], qp_WageStdTblItem.StdID AS 金额 FROM qp_WageStdTblItem INNER JOIN qp_DictItem ON qp_WageStdTblItem.DictValue = qp_DictItem.DictValue WHERE (qp_DictItem.DictId = 'ZW') ORDER BY qp_WageStdTblItem.DictValue
std.grid-2d: SELECT qp_WageStdTblItem.ID,qp_WageStdTblItem.DictId FROM qp_WageStdTblItem INNER JOIN qp_DictItem ON qp_WageStdTblItem.DictValue = qp_DictItem.DictValue WHERE (qp_DictItem.DictId = 'ZW') ORDER BY qp_WageStdTblItem.DictValue
std.cols: SELECT qp_DictItem.Title,qp_WageStdTblItem.DictValue FROM qp_WageStdTblItem INNER JOIN qp_DictItem ON qp_WageStdTblItem.DictValue = qp_DictItem.DictValue WHERE (qp_DictItem.DictId = 'ZW') AND (qp_WageStdTblItem.StdID =1) ORDER BY qp_WageStdTblItem.DictValue
std.value-of: SELECT DictValue FROM qp_DictItem WHERE ID=1
std.amount: EXEC qp_GetWageStdTableByPsn 1,202405,1
std.definition: SELECT STDName,Descr,STDTable,DictRow,DictCol FROM qp_WageStdTable WHERE id=1
std.grid-def: SELECT STDDim,STDTable,DictRow,DictCol FROM qp_WageStdTable WHERE id=1
std.row-add: INSERT INTO [qp_WageStdTblItem] (DictValue) VALUES ('01')
std.amount-set: UPDATE [qp_Wage1] SET [Jb]=1200.50 WHERE id=1
item.read: SELECT Alias,iDataType,IdRef,iProperty,iDec,iChoice,Retain,Active,StdTblID,FExp2 FROM qp_Items WHERE ItemID=1
item.delete: qp_DeleteWageSortItemByID 1,2
item.order-refresh: qp_RefreshWageItemOrder 1
demo.by-person: UPDATE [qp_Wage1] SET [Jb]=CASE (PID+3)%4 WHEN 0 THEN 100 WHEN 1 THEN 200 WHEN 2 THEN 300 WHEN 3 THEN 400 END,[Jt]=(PID*7)%35 WHERE fDate=202405
demo.payslip: INSERT INTO qp_WageAnnounce (SID,Name,Active,Subject,Content,Ord) VALUES (1,N'工资条',1,N'{$SName()$} 工资条',N'<p>{$[姓名]$}，您好</p>',1)
member.delete-xml: qp_DeleteWageSortPsnSelectBySortID @SID=1, @IDXML=N'<psns><psn id="1"></psn></psns>'
member.sort-tmp: qp_CreateTmpTblForWageSortPsnSelect '##tmp1',1,0
month.tmp: qp_CreateWageTmpTableForAddPsn @TmpTableName='tmpWageUser1', @SID=1, @DID=0, @nFDate=202405

# wage membership
member.by-sort: EXEC qp_SelectWagePsnBySort 1,1
member.work: EXEC qp_SelectWagePsn 'tmpWageSel1'
member.check: UPDATE [tmpWageSel1] SET [CKD]=1 WHERE PID=1
member.check-all: UPDATE [tmpWageSel1] SET [CKD]=1
member.uncheck-all: UPDATE [tmpWageSel1] SET [CKD]=0
member.checked: SELECT COUNT(PID) FROM [tmpWageSel1] WHERE [CKD]=1
member.add-checked: INSERT INTO qp_WagePsn (SID,PID,Ord) SELECT 1,PID,ord FROM [tmpWageSel1] WHERE [CKD]=1
member.remove-checked: DELETE FROM [tmpWageSel1] WHERE [CKD]=1
member.add-one: INSERT INTO qp_WagePsn (SID,PID,Ord) VALUES (1,5,3)
member.remove-one: DELETE FROM [tmpWageSel1] WHERE PID=5
member.months: SELECT fDate FROM qp_WageTable WHERE SID=1 AND fDate<>202405 ORDER BY fDate DESC
member.drop: DROP TABLE tmpWageSel1
member.tmp: EXEC qp_CreateTmpTblForWageSortPsnSelect 'tmpWageSel1',1,1

# monthly wage tables
month.row: SELECT qp_PsnBase.Name FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID WHERE ([qp_Wage1].fdate=202405 AND [qp_Wage1].PID=1)
month.reopen: EXEC qp_UpdateWageTableCheckOut 1,202405,0
month.exists: SELECT COUNT(*) FROM qp_WageTable WHERE SID=1 AND fDate=202405
month.list-top: SELECT TOP 12 ID,fDate,Stat,CreateDate FROM qp_WageTable WHERE SID=1 ORDER BY fDate DESC
month.list: SELECT  ID,fDate,Stat,CreateDate FROM qp_WageTable WHERE SID=1 ORDER BY fDate DESC
month.delete-rows: DELETE FROM qp_Wage1 WHERE fDate=202405
month.delete: DELETE FROM qp_WageTable WHERE ID=1 AND SID=1
month.delete-range-rows: DELETE FROM qp_Wage1 WHERE fDate>=202401 AND fDate<=202406
month.delete-range: DELETE FROM qp_WageTable WHERE SID=1 AND (fDate>=202401 AND fDate<=202406)
month.create: EXEC qp_CreateWageTable 1,1,202405

# wage view and calculation
wage.view: SELECT qp_PsnBase.PID,qp_PsnBase.Number AS [编号],qp_PsnBase.Name AS [姓名],[qp_Wage1].Jb AS [基本工资] FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON qp_Wage1.AID = qp_PsnSort.AID  WHERE ([qp_Wage1].fDate=202405) AND [qp_Wage1].AID=1 AND (CHARINDEX('|1|',qp_Dept.ParentArr)>0) AND (CHARINDEX(','+CONVERT(VARCHAR,qp_PsnBase.DID)+',',',1,2,')>0) ORDER BY qp_Dept.Ord,[qp_Wage1].Ord
wage.view-none: SELECT qp_PsnBase.PID FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON qp_Wage1.AID = qp_PsnSort.AID  WHERE (qp_PsnBase.AID=-1)
wage.close: EXEC qp_UpdateWageTableCheckOut 1,202405,1
wage.reorder: EXEC qp_SelectPsnWageReOrderByDeptID 1,202405,1
wage.cols: SELECT ItemID,[name],[Alias],iDataType,iWid,iDec,iChoice,IdRef,bShow,ColFmt FROM qp_Items WHERE UPPER(TblName)='QP_WAGE1' ORDER BY Ord
wage.width: UPDATE qp_Items SET [iWid]=70 WHERE [Name]='Jb'
wage.format: UPDATE qp_Items SET ColFmt='#,##0.00' WHERE [Name]='Jb'
wage.cell: UPDATE qp_Wage1 SET [Jb]=3500.50 WHERE (PID=1 AND fDate=202405)
wage.cell-text: UPDATE qp_Wage1 SET [Name]='张三' WHERE (PID=1 AND fDate=202405)
wage.calc-items: SELECT Name,iDec,iChoice,FExp,StdTblID,iProperty FROM qp_Items WHERE ((UPPER(TblName)='QP_WAGE1' AND Active=1 AND iDataType=0) AND (iProperty=1 OR iProperty=2)) ORDER BY OrdF
wage.calc-items-alias: SELECT Name,Alias,iDec,iChoice,FExp,StdTblID,iProperty FROM qp_Items WHERE ((UPPER(TblName)='QP_WAGE1' AND Active=1 AND iDataType=0) AND (iProperty=1 OR iProperty=2)) ORDER BY OrdF
wage.rowset: SELECT *  FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON qp_Wage1.AID = qp_PsnSort.AID  WHERE ([qp_Wage1].fDate=202405)
wage.batch-fields: SELECT ItemID,[Name],[Alias],iDataType,iDec,iChoice FROM qp_Items WHERE UPPER(TblName)='QP_WAGE1' ORDER BY Ord
wage.batch: UPDATE qp_Wage1 SET [Jb]=ROUND([Jb]*1.1,2) WHERE ([qp_Wage1].fDate=202405)
wage.reports: SELECT ID,Name FROM qp_Report WHERE Active=1 AND Type=0 AND SID=1 ORDER BY Ord
wage.reports-2: SELECT ID,Name FROM qp_Report WHERE Active=1 AND Type=2 AND SID=1 ORDER BY Ord
wage.banks: SELECT EID,Name FROM qp_WageExport WHERE Active=1 And SID=1 ORDER BY Ord
wage.mails: SELECT AID,Name FROM qp_WageAnnounce WHERE Active=1 AND SID=1 ORDER BY Ord

# bank disbursement export
bank.psn-aliases: SELECT Alias FROM qp_Items WHERE iSort=0 ORDER BY Ord
bank.aliases: SELECT Alias FROM qp_Items WHERE UPPER(TblName)='QP_WAGE1' ORDER BY Ord
bank.detail: SELECT iSource,DContent,bFixLen,iLen,iFillChar,iFillDirec,iQuo FROM qp_WageExportDetail WHERE EID=1 ORDER BY Ord
bank.template: EXEC qp_SelectWageBankTempletByID 1
bank.template-items: EXEC qp_SelectWageBankTempletItemsByID 1,1
bank.active: UPDATE qp_WageExport SET Active=0 WHERE EID=1
bank.delete: DELETE FROM qp_WageExport WHERE EID=1
bank.delete-details: DELETE FROM qp_WageExportDetail WHERE EID=1
bank.delete-detail: DELETE FROM qp_WageExportDetail WHERE ID=1
bank.head: SELECT Header,Footer,Sep,Ext,SFRows FROM qp_WageExport WHERE EID=1
bank.by-name: SELECT EID FROM qp_WageExport WHERE (SID=1 AND Name='工商银行')
bank.read: SELECT Name,Header,Footer,Sep,Ext,SFRows FROM qp_WageExport WHERE EID=1
bank.row-exists: SELECT 1 FROM [qp_WageExport] WHERE ([EID]=1)
bank.last-month: SELECT TOP 1 fDate FROM qp_WageTable WHERE SID=1 ORDER BY fDate DESC
bank.rows: SELECT qp_PsnBase.Number,qp_PsnBase.Name,[qp_Wage1].Jb FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON qp_Wage1.AID = qp_PsnSort.AID  WHERE ([qp_Wage1].fDate=202405) ORDER BY qp_Dept.Ord,qp_Wage1.Ord
bank.save: qp_AddBankExportTemplet @EID=0, @SID=1, @Name=N'工商银行', @Active=1, @Header=N'', @Footer=N'', @Sep=N',', @Ext=N'txt', @SFRows=0
bank.copy: EXEC qp_CopyBankTemplet 1

# payslip e-mail
mail.number-alias: SELECT Alias FROM qp_Items WHERE (UPPER(TblName)='QP_PSNBASE' AND UPPER(Name)='NUMBER')
mail.template: EXEC qp_SelectAnnMailTempletByID 1
mail.active: UPDATE qp_WageAnnounce SET Active=1 WHERE AID=1
mail.delete: DELETE FROM qp_WageAnnounce WHERE AID=1
mail.subject: SELECT Subject,Content FROM qp_WageAnnounce WHERE AID=1 
mail.by-name: SELECT AID FROM qp_WageAnnounce WHERE (SID=1 AND Name='工资条')
mail.servers: SELECT id,mailadr FROM qp_BatchMailSet WHERE dt=3 ORDER BY id
mail.server: SELECT svrname,port,auh,ssl,account,password,mailadr,username FROM qp_BatchMailSet WHERE id=1
mail.server-delete: DELETE FROM qp_BatchMailSet WHERE id=1
mail.server-like: SELECT * FROM qp_BatchMailSet WHERE mailadr LIKE 'hr@example.com'
mail.text-aliases: SELECT Alias FROM qp_Items WHERE UPPER(TblName)='QP_PSNBASE' AND iDataType=1 ORDER BY Ord
mail.wage-aliases: SELECT ItemID,Alias FROM qp_Items WHERE UPPER(TblName)='QP_WAGE1' ORDER BY Ord
mail.save-server: EXEC qp_AddMailServer 0,'smtp.example.com',465,1,1,'hr','secret','hr@example.com','人事处'

# wage totals
total.items: SELECT ItemID,[name],[Alias] FROM qp_Items WHERE (UPPER(TblName)='QP_WAGE1' AND iDataType=0) ORDER BY Ord
total.range: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE ((fDate >=202401) AND (fDate <=202412)) AND (CHARINDEX('|1|',qp_Dept.ParentArr)>0)
total.range-2: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (fDate>=202401 AND fDate<=202412)
total.month: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (2024=FLOOR(fDate/100) AND 5=fDate-CAST(FLOOR(fDate/100) AS int)*100)
total.year: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (2024=FLOOR(fDate/100))
total.cond-range: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (qp_PsnBase.Sex='男' AND (fDate>=202401 AND fDate<=202412))
total.cond-month: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (qp_PsnBase.Sex='男') AND (2024=FLOOR(fDate/100) AND 5=fDate-CAST(FLOOR(fDate/100) AS int)*100)
total.cond-year: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (qp_PsnBase.Sex='男' AND (2024=FLOOR(fDate/100)))
total.cast-month: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE ((2024=(CAST(FLOOR(fDate/100) AS int)) AND (5=(fDate- CAST(FLOOR(fDate/100) AS int)*100))))
total.cond-cast-month: SELECT SUM(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (qp_PsnBase.Sex='男' AND (2024=(CAST(FLOOR(fDate/100) AS int)) AND (5=(fDate- CAST(FLOOR(fDate/100) AS int)*100))))
total.depts: SELECT DID,ParentID,Name FROM qp_Dept WHERE ParentID=0 ORDER BY ord
total.dept-count: SELECT COUNT(DID) FROM qp_Dept
total.stats: SELECT COUNT([Jb]),SUM(Jb),AVG(Jb),MIN(Jb),MAX(Jb) FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (fDate>=202401 AND fDate<=202412)
total.person-drop: DROP TABLE tmpWageUser1
total.person-into: SELECT qp_Wage1.PID,SUM(Jb) AS 基本工资,SUM(Jt) AS 津贴,MAX(qp_PsnBase.Ord) AS Ord INTO tmpWageUser2 FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID WHERE (fDate>=202401) AND (fDate<=202412) GROUP BY qp_Wage1.PID
total.person-grid: SELECT qp_PsnBase.PID,qp_PsnBase.Number AS 编号,qp_PsnBase.Name AS 姓名,qp_PsnBase.Sex AS 性别,qp_Dept.Name AS 部门 ,[tmpWageUser1].基本工资,[tmpWageUser1].津贴 FROM [tmpWageUser1] INNER JOIN qp_PsnBase ON [tmpWageUser1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_PsnBase.DID = qp_Dept.DID ORDER BY qp_Dept.Ord,[tmpWageUser1].Ord

# wage import
wimport.fields: SELECT Name,Alias FROM qp_Items WHERE (UPPER(TblName)='QP_WAGE1') AND (Name='Jb' OR Name='Jt') ORDER BY Ord
wimport.all-fields: SELECT Name,Alias FROM qp_Items WHERE (UPPER(TblName)='QP_WAGE1') ORDER BY Ord
wimport.rows: SELECT qp_PsnBase.PID,qp_PsnBase.Number,qp_PsnBase.Name,qp_Wage1.* FROM [qp_Wage1] INNER JOIN qp_PsnBase ON [qp_Wage1].PID = qp_PsnBase.PID INNER JOIN qp_Dept ON [qp_Wage1].DID = qp_Dept.DID WHERE ([qp_Wage1].fDate=202405)

# report templates
report.script: SELECT TOP 1 sContent FROM qp_SysOption WHERE nType=1
report.templates: EXEC qp_SelectPrintExportTempletByID 1,1
report.psn: SELECT qp_PsnBase.Number AS [编号] FROM qp_PsnBase LEFT OUTER JOIN qp_PsnSort ON qp_PsnBase.AID=qp_PsnSort.AID LEFT OUTER JOIN qp_Dept ON qp_PsnBase.DID=qp_Dept.DID ORDER BY qp_Dept.Ord,qp_PsnBase.Ord
report.wage: SELECT qp_PsnBase.Number AS [编号],qp_Wage1.Jb AS [基本工资] FROM qp_Wage1 INNER JOIN qp_PsnBase ON qp_Wage1.PID = qp_PsnBase.PID INNER JOIN qp_Dept ON qp_Wage1.DID = qp_Dept.DID INNER JOIN qp_PsnSort ON qp_Wage1.AID = qp_PsnSort.AID  WHERE (qp_Wage1.fDate=202405) ORDER BY qp_Dept.Ord,qp_Wage1.Ord
report.months: SELECT ID,fDate FROM qp_WageTable WHERE SID=1 ORDER BY fDate DESC
report.by-name: SELECT ID FROM qp_Report WHERE (Type=0 AND SID=1 AND Name='工资表')
report.move: UPDATE qp_Report SET SID=1,Active=1 WHERE ID=1
report.unbind: UPDATE qp_Report SET SID=0,Active=1 WHERE ID=1
report.rename: UPDATE qp_Report SET Name='工资表(新)' WHERE ID=1
report.active: UPDATE qp_Report SET Active=0 WHERE ID=1
report.copy: EXEC qp_CopyReportTemplet 1
report.delete: EXEC qp_DeleteReportTemplet @RID=1

# malformed or hostile text
!bad.unterminated: SELECT * FROM qp_Users WHERE UserName='abc
!bad.bracket: SELECT [Name FROM qp_Users
!bad.missing-from-table: SELECT * FROM WHERE 1=1
!bad.dangling-op: SELECT 1 + FROM qp_Users
!bad.unclosed-paren: SELECT COUNT(* FROM qp_Users
!bad.variable: SELECT * FROM qp_Users WHERE UserID=@id
!bad.unknown-function: SELECT XP_CMDSHELL('dir')
!bad.comment: SELECT 1 /* not closed
!bad.exec-in-statement: SELECT 1; EXEC qp_X 1
