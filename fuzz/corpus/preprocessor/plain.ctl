[Aspect]
0
[Gefaelle]
1
slope.asc#x
	
